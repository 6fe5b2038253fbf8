#include "live_server.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <cctype>
#include <chrono>
#include <future>
#include <map>
#include <mutex>
#include <optional>

#include "day_table.h"
#include "event_log.h"
#include "station_page.h"
#include "text_files.h"

namespace radmon {
namespace {

using namespace std::chrono_literals;
using Status = QHttpServerResponder::StatusCode;

constexpr int kMaxConnections = 64;
constexpr int kMaxPerAddress = 32;  // so that one client cannot take every connection
constexpr int kMaxStreams = 16;
constexpr qint64 kMaxRequestBytes = 64 * 1024;  // a request's line, headers and body, at most
constexpr qint64 kMaxUnsent = 256 * 1024;       // a stream's reader that falls this far behind
constexpr auto kHeadDeadline = 10s;  // for a whole request head, however its bytes trickle in
constexpr auto kIdle = 30s;          // a kept-alive connection with no request begun
constexpr auto kKeepAlive = 10s;     // a comment on the streams while nothing new
constexpr auto kStreamGap = 900ms;   // the least time between two events

// What a request's head asks, as far as the guard judges it.
struct Head {
  enum Verdict { Fine, Malformed, OtherMethod } verdict = Malformed;
  bool headOnly = false;  // HEAD: the answer's head without its body
  qint64 bodyLength = 0;
};

bool isToken(QByteArrayView text) {
  if (text.isEmpty()) return false;
  for (const char c : text)
    if (!std::isalnum(static_cast<unsigned char>(c)) &&
        std::string_view("!#$%&'*+-.^_`|~").find(c) == std::string_view::npos)
      return false;
  return true;
}

// The length of the head at the start of `bytes` (its blank line included), or -1 while
// it is unfinished.
qsizetype headLength(const QByteArray& bytes) {
  const qsizetype crlf = bytes.indexOf("\r\n\r\n");
  const qsizetype lf = bytes.indexOf("\n\n");
  if (crlf >= 0 && (lf < 0 || crlf + 2 < lf)) return crlf + 4;
  return lf >= 0 ? lf + 2 : -1;
}

// A request line "METHOD /target HTTP/1.x" and headers "Name: value", each on a line of
// its own; a Content-Length of digits only (every copy the same); no Transfer-Encoding, which
// a request for a page has no use for. Anything else is malformed, and any method but
// GET and HEAD refused, whatever its letter case.
Head readHead(QByteArrayView head) {
  Head out;
  QList<QByteArrayView> lines;
  for (qsizetype at = 0; at < head.size();) {
    qsizetype end = head.indexOf('\n', at);
    if (end < 0) end = head.size();
    QByteArrayView line = head.sliced(at, end - at);
    if (line.endsWith('\r')) line.chop(1);
    lines.append(line);
    at = end + 1;
  }
  while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  if (lines.isEmpty()) return out;
  const QList<QByteArray> parts = lines[0].toByteArray().split(' ');
  if (parts.size() != 3 || !isToken(parts[0]) || parts[1].isEmpty() ||
      (parts[2] != "HTTP/1.1" && parts[2] != "HTTP/1.0"))
    return out;
  for (const char c : parts[1])
    if (static_cast<unsigned char>(c) <= ' ' || c == 0x7f) return out;
  std::optional<qint64> length;
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QByteArrayView line = lines[i];
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0 || !isToken(line.first(colon))) return out;
    const QByteArray name = line.first(colon).toByteArray().toLower();
    const QByteArrayView value = line.sliced(colon + 1).trimmed();
    for (const char c : value)
      if ((static_cast<unsigned char>(c) < ' ' && c != '\t') || c == 0x7f) return out;
    if (name == "transfer-encoding") return out;
    if (name != "content-length") continue;
    qint64 n = 0;
    for (const char c : value) {
      if (c < '0' || c > '9' || n > kMaxRequestBytes) return out;
      n = n * 10 + (c - '0');
    }
    if (value.isEmpty() || (length && *length != n)) return out;
    length = n;
  }
  out.bodyLength = length.value_or(0);
  out.headOnly = parts[0] == "HEAD";
  if (parts[0] != "GET" && !out.headOnly)
    out.verdict = Head::OtherMethod;
  else if (parts[1].startsWith('/'))  // a page is asked for by its path
    out.verdict = Head::Fine;
  return out;
}

// Whether the start of a request can no longer become a sound request line: a method
// that is no token, or a whole line of another shape. Refused at once, not at the deadline.
bool hopeless(const QByteArray& bytes) {
  const qsizetype end = bytes.indexOf('\n');
  QByteArrayView line = end < 0 ? QByteArrayView(bytes) : QByteArrayView(bytes).first(end);
  if (line.endsWith('\r')) line.chop(1);
  const qsizetype space = line.indexOf(' ');
  const QByteArrayView method = space < 0 ? line : line.first(space);
  if (!method.isEmpty() && !isToken(method)) return true;
  if (end < 0) return false;
  const QList<QByteArray> parts = line.toByteArray().split(' ');
  return parts.size() != 3 || !isToken(parts[0]) || parts[1].isEmpty() ||
         (parts[2] != "HTTP/1.1" && parts[2] != "HTTP/1.0");
}

// A connection as Qt's server sees it, with the limits Qt 6.4 leaves out. Qt's server
// reads only whole requests that the guard has judged: the guard takes every byte as it
// arrives and hands a request over once its head and body are complete and sound. A
// malformed head gets its 400 here, another method its 405, a head past kMaxRequestBytes
// a 431, and a head that is not whole kHeadDeadline after it began (or after the
// connection opened) a 408, however its bytes trickle in. A HEAD goes to Qt as a GET and
// only the answer's head goes out.
class GuardedSocket final : public QTcpSocket {
 public:
  explicit GuardedSocket(QObject* parent) : QTcpSocket(parent) {
    idle_.setSingleShot(true);
    idle_.setInterval(kIdle);
    head_.setSingleShot(true);
    head_.setInterval(kHeadDeadline);
    // Connected before Qt's server connects its own, so this sees the bytes first.
    connect(this, &QTcpSocket::readyRead, this, &GuardedSocket::take);
    connect(&idle_, &QTimer::timeout, this, [this] { QTcpSocket::disconnectFromHost(); });
    connect(&head_, &QTimer::timeout, this, [this] {
      if (held_.isEmpty())
        QTcpSocket::disconnectFromHost();
      else
        refuse("408 Request Timeout");
    });
    head_.start();
  }

  // Qt's server closes the connection of a request it cannot parse without a word.
  void disconnectFromHost() override {
    if (unanswered_) refuse("400 Bad Request");
    QTcpSocket::disconnectFromHost();
  }

 protected:
  qint64 writeData(const char* data, qint64 size) override {
    if (refused_ || answerDone_) return size;  // nothing after a refusal or a HEAD's head
    unanswered_ = false;
    idle_.start();
    if (!headOnly_) return QTcpSocket::writeData(data, size);
    // A HEAD: the head of the answer to its GET, then the connection ends.
    answerHead_.append(data, size);
    const qsizetype end = answerHead_.indexOf("\r\n\r\n");
    if (end < 0) return QTcpSocket::writeData(data, size);
    answerDone_ = true;
    const qint64 kept = size - (answerHead_.size() - (end + 4));
    if (kept > 0 && QTcpSocket::writeData(data, kept) < 0) return -1;
    QMetaObject::invokeMethod(
        this, [this] { QTcpSocket::disconnectFromHost(); }, Qt::QueuedConnection);
    return size;
  }

 private:
  void take() {
    if (releasing_) return;  // the guard's own hand-over
    // Qt's server starts a transaction on every read and keeps it open while it has read
    // nothing; the bytes are the guard's until a request is whole.
    if (isTransactionStarted()) commitTransaction();
    const QByteArray bytes = readAll();
    if (refused_ || headOnly_ || bytes.isEmpty()) return;
    if (held_.isEmpty() && !head_.isActive()) head_.start();
    held_ += bytes;
    idle_.stop();
    while (!held_.isEmpty() && !refused_) {
      if (hopeless(held_)) return refuse("400 Bad Request");
      const qsizetype length = headLength(held_);
      if (length < 0 || length > kMaxRequestBytes) {
        if (held_.size() > kMaxRequestBytes) refuse("431 Request Header Fields Too Large");
        return;
      }
      const Head head = readHead(QByteArrayView(held_).first(length));
      if (head.verdict == Head::Malformed) return refuse("400 Bad Request");
      if (head.verdict == Head::OtherMethod) return refuse("405 Method Not Allowed", "GET, HEAD");
      if (length + head.bodyLength > kMaxRequestBytes) return refuse("413 Content Too Large");
      if (held_.size() < length + head.bodyLength) return;  // the body is on its way
      QByteArray request = held_.first(length + head.bodyLength);
      held_.remove(0, request.size());
      if (head.headOnly) request.replace(0, 4, "GET");
      headOnly_ = head.headOnly;
      hand(request);
      if (headOnly_) return;  // the connection ends with its answer
      if (!held_.isEmpty()) head_.start();
    }
  }

  // The request back into the socket's buffer, and Qt's server told that it is there.
  void hand(const QByteArray& request) {
    head_.stop();
    if (isTransactionStarted()) commitTransaction();
    for (qsizetype i = request.size(); i-- > 0;) ungetChar(request[i]);
    unanswered_ = true;
    releasing_ = true;
    emit readyRead();
    releasing_ = false;
    // An answer restarts it too; one that never comes ends in a 400 (disconnectFromHost).
    idle_.start();
  }

  void refuse(const char* status, const char* allow = nullptr) {
    held_.clear();
    if (refused_ || state() != ConnectedState) return;
    QByteArray answer = QByteArray("HTTP/1.1 ") + status + "\r\n";
    if (allow) answer += QByteArray("Allow: ") + allow + "\r\n";
    answer += "Content-Length: 0\r\nConnection: close\r\n\r\n";
    write(answer);
    refused_ = true;
    QTcpSocket::disconnectFromHost();
  }

  QTimer idle_, head_;
  QByteArray held_;          // bytes of requests not yet handed to Qt's server
  QByteArray answerHead_;    // a HEAD's answer so far, up to its blank line
  bool unanswered_ = false;  // a request handed over and not answered yet
  bool releasing_ = false;
  bool refused_ = false;
  bool headOnly_ = false;
  bool answerDone_ = false;  // a HEAD's answer head went out
};

// Hands Qt's server guarded connections: at most kMaxConnections at once, and
// kMaxPerAddress from one address, so that slow clients at one address leave room for
// everyone else. Those over the limit are told 503 and closed.
class GuardedServer final : public QTcpServer {
 protected:
  void incomingConnection(qintptr descriptor) override {
    auto* socket = new GuardedSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
      socket->deleteLater();
      return;
    }
    const QString peer = peerKey(socket->peerAddress());
    if (open_ >= kMaxConnections || perAddress_[peer] >= kMaxPerAddress) {
      if (perAddress_[peer] == 0) perAddress_.erase(peer);
      static constexpr char kBusy[] =
          "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
      socket->write(kBusy, sizeof kBusy - 1);
      connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
      socket->disconnectFromHost();
      return;
    }
    ++open_;
    ++perAddress_[peer];
    connect(socket, &QObject::destroyed, this, [this, peer] {
      --open_;
      if (--perAddress_[peer] <= 0) perAddress_.erase(peer);
    });
    addPendingConnection(socket);
  }

 private:
  // An IPv4 client reached over an IPv6 socket counts as the same address.
  static QString peerKey(const QHostAddress& address) {
    bool v4 = false;
    const quint32 ip = address.toIPv4Address(&v4);
    return v4 ? QHostAddress(ip).toString() : address.toString();
  }

  int open_ = 0;
  std::map<QString, int> perAddress_;
};

double secondsSince(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

}  // namespace

struct LiveServer::Shared {
  std::mutex mutex;
  LiveReading reading;
  bool anyReading = false;
  std::vector<double> intervals;
  PageSources page;
  std::chrono::steady_clock::time_point lastRecord = std::chrono::steady_clock::now();
  std::atomic<bool> wakePending{false};
  Worker* worker = nullptr;
  std::unique_ptr<QThread> thread;
  uint16_t port = 0;
};

class LiveServer::Worker final : public QObject {
 public:
  explicit Worker(Shared& shared) : shared_(shared) {
    route("/", "text/html; charset=utf-8", [this] { return page(); });
    route("/metrics", "text/plain; version=0.0.4; charset=utf-8", [this] {
      std::lock_guard lock(shared_.mutex);
      return QByteArray::fromStdString(
          metricsText(shared_.reading, secondsSince(shared_.lastRecord)));
    });
    route("/events.json", "application/json", [this] { return events(); });
    route("/readings.json", "application/json", [this] {
      const PageSources s = sources();
      const auto rows = readDayTable(dayFilePath(s.dataFolder, s.now.yyyymmdd())).value.rows;
      return QByteArray::fromStdString(readingsJson(s.place, s.now.slashDate(), rows));
    });
    route("/histogram.json", "application/json", [this] {
      std::vector<double> intervals;
      {
        std::lock_guard lock(shared_.mutex);
        intervals = shared_.intervals;
      }
      return QByteArray::fromStdString(histogramJson(analyseIntervals(intervals)));
    });
    server_.route("/events",
                  [this](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
                    if (!allowed(request, responder)) return;
                    if (streams_.size() >= kMaxStreams) {
                      responder.write(Status::ServiceUnavailable);
                      return;
                    }
                    responder.writeStatusLine();
                    responder.writeHeaders({{"Content-Type", "text/event-stream"},
                                            {"Cache-Control", "no-store"},
                                            {"X-Content-Type-Options", "nosniff"}});
                    QPointer<QTcpSocket> socket = responder.socket();
                    // Qt 6.4 ends the head only with a body, which a stream never has:
                    // without the blank line the first event would be read as a header,
                    // and a client would wait for the head until the first reading.
                    socket->write("\r\n");
                    streams_.push_back(socket);
                    std::lock_guard lock(shared_.mutex);
                    if (shared_.anyReading)
                      send(*socket, "data: " + liveEventJson(shared_.reading) + "\n\n");
                  });
    // The graphs the page shows, and no other file.
    server_.route("/<arg>", [this](const QString& name, const QHttpServerRequest& request,
                                   QHttpServerResponder&& responder) {
      if (!allowed(request, responder)) return;
      const PageSources s = sources();
      for (const web::PageImage& image : pageContent(s).graphs) {
        if (image.file != name && image.screen != name) continue;
        QFile file(QString::fromStdString(s.dataFolder) + name);
        if (!file.open(QIODevice::ReadOnly)) break;
        const bool svg = name == image.screen;
        responder.write(file.readAll(), {{"Content-Type", svg ? "image/svg+xml" : "image/jpeg"},
                                         {"Cache-Control", "no-cache"},
                                         {"X-Content-Type-Options", "nosniff"}});
        return;
      }
      responder.write(Status::NotFound);
    });
    gap_.setSingleShot(true);
    connect(&gap_, &QTimer::timeout, this, [this] { wake(); });
    keepAlive_.setInterval(kKeepAlive);
    connect(&keepAlive_, &QTimer::timeout, this, [this] {
      if (sent_.elapsed() >= std::chrono::milliseconds(kKeepAlive).count())
        sendAll(": still here\n\n");
    });
    keepAlive_.start();
    sent_.start();
  }

  std::expected<void, std::string> listen(const HttpAddress& address) {
    auto* tcp = new GuardedServer;
    if (!tcp->listen(QHostAddress(QString::fromStdString(address.host)), address.port)) {
      const std::string why = tcp->errorString().toStdString();
      delete tcp;
      return std::unexpected(why);
    }
    shared_.port = tcp->serverPort();
    server_.bind(tcp);
    return {};
  }

  // A new reading came: to the streams now, or once kStreamGap has passed since the last.
  void wake() {
    shared_.wakePending = false;
    const auto since = std::chrono::milliseconds(sent_.elapsed());
    if (since < kStreamGap) {
      if (!gap_.isActive()) gap_.start(kStreamGap - since);
      return;
    }
    std::string event;
    {
      std::lock_guard lock(shared_.mutex);
      event = "data: " + liveEventJson(shared_.reading) + "\n\n";
    }
    sendAll(event);
  }

 private:
  template <typename Body>
  void route(const char* path, const char* type, Body body) {
    server_.route(path, [this, type, body](const QHttpServerRequest& request,
                                           QHttpServerResponder&& responder) {
      if (!allowed(request, responder)) return;
      responder.write(body(), {{"Content-Type", type},
                               {"Cache-Control", "no-store"},
                               {"X-Content-Type-Options", "nosniff"}});
    });
  }

  // Only GET (a HEAD arrives as one): nothing here changes anything.
  static bool allowed(const QHttpServerRequest& request, QHttpServerResponder& responder) {
    if (request.method() == QHttpServerRequest::Method::Get) return true;
    responder.write({{"Allow", "GET, HEAD"}}, Status::MethodNotAllowed);
    return false;
  }

  PageSources sources() {
    std::lock_guard lock(shared_.mutex);
    return shared_.page;
  }

  // The published page's content with this second's reading.
  QByteArray page() {
    web::PageContent content = pageContent(sources());
    content.live = true;
    content.madeAt.clear();
    std::lock_guard lock(shared_.mutex);
    if (shared_.anyReading) {
      const LiveReading& r = shared_.reading;
      content.latest =
          web::LatestReading{QString::fromStdString(r.time),  r.doseRate,   r.low,    r.high, r.cpm,
                             QString::fromStdString(r.state), r.lowerBound, r.suspect};
      // The station's own state, not the files': it knows it to the second.
      content.banners.clear();
      for (const LiveBanner& b : r.banners)
        content.banners.append({QString::fromStdString(b.kind), QString::fromStdString(b.title),
                                QString::fromStdString(b.text)});
    }
    return web::stationPage(content);
  }

  QByteArray events() {
    const PageSources s = sources();
    const auto text = readTextFile(s.dataFolder + eventFileName(s.now.yyyymmdd()));
    return QByteArray::fromStdString(
        eventLogJson(text ? parseEventLog(*text).value : std::vector<EventLine>{}));
  }

  void send(QTcpSocket& socket, const std::string& text) {
    // A reader that does not keep up is let go rather than buffered for.
    if (socket.bytesToWrite() > kMaxUnsent) {
      socket.abort();
      return;
    }
    socket.write(text.data(), static_cast<qint64>(text.size()));
  }

  void sendAll(const std::string& text) {
    sent_.restart();
    std::erase_if(streams_, [](const QPointer<QTcpSocket>& s) {
      return !s || s->state() != QAbstractSocket::ConnectedState;
    });
    for (const QPointer<QTcpSocket>& s : streams_)
      if (s) send(*s, text);
  }

  Shared& shared_;
  QHttpServer server_;
  std::vector<QPointer<QTcpSocket>> streams_;
  QTimer gap_;
  QTimer keepAlive_;
  QElapsedTimer sent_;
};

namespace {

class ServerThread final : public QThread {
 public:
  ServerThread(LiveServer::Shared& shared, HttpAddress address)
      : shared_(shared), address_(std::move(address)) {}
  std::promise<std::expected<void, std::string>> listened;

 protected:
  void run() override;

 private:
  LiveServer::Shared& shared_;
  HttpAddress address_;
};

}  // namespace

// Outside the anonymous namespace's class body, where Worker is complete.
void ServerThread::run() {
  LiveServer::Worker worker(shared_);
  auto listening = worker.listen(address_);
  shared_.worker = listening ? &worker : nullptr;
  listened.set_value(listening);
  if (listening) exec();
  shared_.worker = nullptr;
}

LiveServer::LiveServer() : shared_(std::make_unique<Shared>()) {}

std::expected<std::unique_ptr<LiveServer>, std::string> LiveServer::start(
    const HttpAddress& address, const PageSources& page) {
  std::unique_ptr<LiveServer> server(new LiveServer());
  server->shared_->page = page;
  auto thread = std::make_unique<ServerThread>(*server->shared_, address);
  auto listened = thread->listened.get_future();
  thread->start();
  if (auto listening = listened.get(); !listening) {
    thread->wait();
    return std::unexpected(listening.error());
  }
  server->shared_->thread = std::move(thread);
  return server;
}

LiveServer::~LiveServer() {
  if (!shared_->thread) return;
  shared_->thread->quit();
  shared_->thread->wait();
}

void LiveServer::publish(const LiveReading& reading) {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->reading = reading;
    shared_->anyReading = true;
  }
  // One wake-up waits at a time, however fast the readings come.
  if (shared_->wakePending.exchange(true)) return;
  Worker* worker = shared_->worker;
  QMetaObject::invokeMethod(
      worker, [worker] { worker->wake(); }, Qt::QueuedConnection);
}

void LiveServer::intervals(std::vector<double> seconds) {
  std::lock_guard lock(shared_->mutex);
  shared_->intervals = std::move(seconds);
}

void LiveServer::today(const std::string& dataFolder, const LocalDateTime& now) {
  std::lock_guard lock(shared_->mutex);
  if (shared_->page.dataFolder != dataFolder) shared_->page.dataFolder = dataFolder;
  shared_->page.now = now;
}

void LiveServer::recordWritten() {
  std::lock_guard lock(shared_->mutex);
  shared_->lastRecord = std::chrono::steady_clock::now();
}

uint16_t LiveServer::port() const { return shared_->port; }

}  // namespace radmon
