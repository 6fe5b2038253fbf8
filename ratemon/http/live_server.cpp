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
#include <chrono>
#include <future>
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
constexpr int kMaxStreams = 16;
constexpr qint64 kMaxRequestBytes = 64 * 1024;  // a request's line and headers, at most
constexpr qint64 kMaxUnsent = 256 * 1024;       // a stream's reader that falls this far behind
constexpr auto kIdle = 30s;                     // a connection silent this long is closed
constexpr auto kKeepAlive = 10s;                // a comment on the streams while nothing new
constexpr auto kStreamGap = 900ms;              // the least time between two events

// A connection as Qt's server sees it, with the limits Qt 6.4 leaves out: a request that
// it drops unread gets its 400, one whose header grows past kMaxRequestBytes a 431, one
// left half sent a 408 when its connection has been silent for kIdle.
class GuardedSocket final : public QTcpSocket {
 public:
  explicit GuardedSocket(QObject* parent) : QTcpSocket(parent) {
    idle_.setSingleShot(true);
    idle_.setInterval(kIdle);
    // Connected before Qt's server connects its own, so this sees the bytes first.
    connect(this, &QTcpSocket::readyRead, this, [this] {
      unanswered_ += bytesAvailable();
      idle_.start();
      if (unanswered_ > kMaxRequestBytes) refuse("431 Request Header Fields Too Large");
    });
    connect(&idle_, &QTimer::timeout, this, [this] {
      if (unanswered_ > 0) refuse("408 Request Timeout");
      QTcpSocket::disconnectFromHost();
    });
    idle_.start();
  }

  // Qt's server closes the connection of a request it cannot parse without a word.
  void disconnectFromHost() override {
    if (unanswered_ > 0) refuse("400 Bad Request");
    QTcpSocket::disconnectFromHost();
  }

 protected:
  qint64 writeData(const char* data, qint64 size) override {
    if (refused_) return size;  // nothing after the refusal
    unanswered_ = 0;
    idle_.start();
    return QTcpSocket::writeData(data, size);
  }

 private:
  void refuse(const char* status) {
    if (refused_ || state() != ConnectedState) return;
    const QByteArray answer =
        QByteArray("HTTP/1.1 ") + status + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    write(answer);
    refused_ = true;
    QTcpSocket::disconnectFromHost();
  }

  QTimer idle_;
  qint64 unanswered_ = 0;  // bytes heard since the last answer
  bool refused_ = false;
};

// Hands Qt's server guarded connections, at most kMaxConnections at once.
class GuardedServer final : public QTcpServer {
 protected:
  void incomingConnection(qintptr descriptor) override {
    auto* socket = new GuardedSocket(this);
    if (!socket->setSocketDescriptor(descriptor) || open_ >= kMaxConnections) {
      socket->abort();
      socket->deleteLater();
      return;
    }
    ++open_;
    connect(socket, &QObject::destroyed, this, [this] { --open_; });
    addPendingConnection(socket);
  }

 private:
  int open_ = 0;
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

  std::optional<std::string> listen(const HttpAddress& address) {
    auto* tcp = new GuardedServer;
    if (!tcp->listen(QHostAddress(QString::fromStdString(address.host)), address.port)) {
      const std::string why = tcp->errorString().toStdString();
      delete tcp;
      return why;
    }
    shared_.port = tcp->serverPort();
    server_.bind(tcp);
    return std::nullopt;
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

  // Only GET: nothing here changes anything.
  static bool allowed(const QHttpServerRequest& request, QHttpServerResponder& responder) {
    if (request.method() == QHttpServerRequest::Method::Get) return true;
    responder.write({{"Allow", "GET"}}, Status::MethodNotAllowed);
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
  std::promise<std::optional<std::string>> listened;

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
  auto refusal = worker.listen(address_);
  shared_.worker = refusal ? nullptr : &worker;
  const bool listening = !refusal;
  listened.set_value(std::move(refusal));
  if (listening) exec();
  shared_.worker = nullptr;
}

LiveServer::LiveServer() : shared_(std::make_unique<Shared>()) {}

std::variant<std::unique_ptr<LiveServer>, std::string> LiveServer::start(const HttpAddress& address,
                                                                         const PageSources& page) {
  std::unique_ptr<LiveServer> server(new LiveServer());
  server->shared_->page = page;
  auto thread = std::make_unique<ServerThread>(*server->shared_, address);
  auto listened = thread->listened.get_future();
  thread->start();
  if (auto refusal = listened.get()) {
    thread->wait();
    return *refusal;
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
