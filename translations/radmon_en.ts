<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>DayGraph</name>
    <message>
        <source> %1 時</source>
        <translation> %1h</translation>
    </message>
    <message>
        <source>→時間</source>
        <translation>→hour</translation>
    </message>
    <message>
        <source>%1年%2月%3日</source>
        <translation>%1-%2-%3</translation>
    </message>
    <message>
        <source>[ 日最大:</source>
        <translation>[ Max: </translation>
    </message>
    <message>
        <source>日平均:</source>
        <translation>Mean: </translation>
    </message>
    <message>
        <source>測定場所: </source>
        <translation>Place: </translation>
    </message>
    <message>
        <source>作成日: </source>
        <translation>Made: </translation>
    </message>
    <message>
        <source>測定管: </source>
        <translation>Tube: </translation>
    </message>
</context>
</TS>
