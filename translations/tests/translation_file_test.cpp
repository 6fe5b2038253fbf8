// The English translation as shipped: every text lupdate found has an English one that
// keeps its placeholders, and the programs carry it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTranslator>
#include <QXmlStreamReader>
#include <set>

#include "build_paths.h"
#include "japanese_texts.h"

namespace radmon {
namespace {

struct Message {
  QString context, source, translation, type;
};

std::vector<Message> readTs(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  QXmlStreamReader xml(&file);
  std::vector<Message> messages;
  QString context;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == u"name") context = xml.readElementText();
    if (xml.name() == u"message") messages.push_back({context, {}, {}, {}});
    if (xml.name() == u"source") messages.back().source = xml.readElementText();
    if (xml.name() == u"translation") {
      messages.back().type = xml.attributes().value(QStringLiteral("type")).toString();
      messages.back().translation = xml.readElementText();
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return messages;
}

QString tsFile() {
  return QString::fromStdString(testing::sourceDir() + "/translations/radmon_en.ts");
}

std::multiset<QString> placeholders(const QString& text) {
  std::multiset<QString> found;
  static const QRegularExpression marker(QStringLiteral("%\\d+|\\n"));
  for (const auto& m : marker.globalMatch(text)) found.insert(m.captured());
  return found;
}

TEST(EnglishTranslation, EveryTextIsTranslatedWithItsPlaceholders) {
  const auto messages = readTs(tsFile());
  ASSERT_FALSE(messages.empty());
  for (const Message& m : messages) {
    const std::string where = (m.context + " / " + m.source).toStdString();
    EXPECT_TRUE(m.type.isEmpty()) << where << " is " << m.type.toStdString();
    EXPECT_FALSE(m.translation.isEmpty()) << where;
    EXPECT_FALSE(testing::hasJapanese(m.translation)) << where;
    EXPECT_EQ(placeholders(m.translation), placeholders(m.source)) << where;
    // The Japanese screens write the unit "μSV/h"; English writes it one way only.
    EXPECT_FALSE(m.translation.contains(QStringLiteral("SV/h"))) << where;
  }
}

TEST(EnglishTranslation, CarriedInsideTheProgramsAndLoaded) {
  int argc = 1;
  char name[] = "translation_file_test";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  QTranslator translator;
  ASSERT_TRUE(translator.load(QStringLiteral(":/i18n/radmon_en.qm")));
  for (const Message& m : readTs(tsFile())) {
    EXPECT_EQ(translator.translate(m.context.toUtf8().constData(), m.source.toUtf8().constData()),
              m.translation)
        << m.source.toStdString();
  }
}

}  // namespace
}  // namespace radmon
