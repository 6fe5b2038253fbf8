// radmon-collect: subscribes to the state messages of a fleet of stations on one broker
// and writes them into day files, one folder per station, for dayplot to draw.
#include <mosquitto.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <mutex>
#include <optional>
#include <thread>

#include "collect_messages.h"
#include "collector.h"
#include "discovery.h"
#include "local_time.h"
#include "mqtt_address.h"
#include "mqtt_client.h"
#include "number_text.h"
#include "state_message.h"
#include "station_folder.h"
#include "station_identity.h"
#include "stop_signals.h"
#include "ui_translator.h"

namespace {

namespace msg = radmon::collect_messages;

// Messages paused this long: the stations' newest records are looked at again.
constexpr auto kQuiet = std::chrono::seconds(2);

struct Session {
  Session(radmon::Collector c, std::vector<std::string> f, std::string a)
      : collector(std::move(c)), filters(std::move(f)), address(std::move(a)) {}
  radmon::Collector collector;
  std::vector<std::string> filters;
  std::string address;
  std::mutex mutex;
  std::chrono::steady_clock::time_point lastRecord = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point lastMessage = lastRecord;
  bool lookedAgain = false;  // subscribed again since the last message
};

// The collector's log: stderr, and a file in the output folder.
std::mutex logMutex;
std::string logPath;

void log(const std::string& text) {
  if (text.empty()) return;
  const std::string line = radmon::SystemClock().now().isoText() + " " + text;
  std::lock_guard lock(logMutex);
  std::cerr << line << std::endl;
  if (logPath.empty()) return;
  std::ofstream file(logPath, std::ios::app | std::ios::binary);
  file << line << "\n";
  if (!file) {
    std::cerr << msg::logNotWritten(logPath) << std::endl;
    logPath.clear();
  }
}

std::string hostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return "host";
  std::string text;
  for (const char c : std::string(name))
    text += (std::isalnum(static_cast<unsigned char>(c)) || c == '-') ? c : '_';
  return text;
}

// The command line as the declaration read it; the exit status after telling what is
// wrong.
struct CollectOptions {
  std::string url, folder, caFile, instance, group;
  int idleSeconds = 0;
  // Stations busy with a backlog of their own may not answer for minutes.
  int giveUpSeconds = static_cast<int>(radmon::Collector::kGiveUpAfter.count());
};

std::optional<int> readOptions(const radmon::OptionCheck& check, CollectOptions& o) {
  for (const auto& [name, value] : check.given) {
    std::optional<int> count;
    if (name == "--mqtt") {
      o.url = value;
    } else if (name == "--out") {
      o.folder = value;
    } else if (name == "--ca-file") {
      o.caFile = value;
    } else if (name == "--instance") {
      o.instance = value;
    } else if (name == "--group" && radmon::isStationId(value)) {
      o.group = value;
    } else if (name == "--give-up" && (count = radmon::readCount(value, 1, 1000000))) {
      o.giveUpSeconds = *count;
    } else if (name == "--idle" && (count = radmon::readCount(value, 0, 1000000000))) {
      o.idleSeconds = *count;
    } else if (name != "--lang") {
      std::cerr << msg::badArgument(name) << "\n" << msg::usage() << std::endl;
      return 2;
    }
  }
  if (o.url.empty() || o.folder.empty()) {
    std::cerr << msg::usage() << std::endl;
    return 2;
  }
  if (o.folder.back() != '/') o.folder += '/';
  return std::nullopt;
}

// The callbacks of the session's client: its log, and each message into the day files.
void listen(mosquitto* client) {
  mosquitto_connect_callback_set(client, [](mosquitto* c, void* self, int rc) {
    auto* s = static_cast<Session*>(self);
    if (rc != 0) return log(msg::refused(mosquitto_connack_string(rc)));
    log(msg::connected(s->address));
    // Subscribed again on each connection, so that the broker sends each station's
    // retained newest record: a gap at a station's end shows too.
    for (const std::string& filter : s->filters) mosquitto_subscribe(c, nullptr, filter.c_str(), 1);
  });
  // An untrusted certificate shows only in libmosquitto's log.
  mosquitto_log_callback_set(client, [](mosquitto*, void*, int level, const char* text) {
    if (level == MOSQ_LOG_ERR && text) log(msg::linkError(text));
  });
  mosquitto_disconnect_callback_set(client, [](mosquitto*, void*, int rc) {
    if (rc != 0) log(msg::connectionLost());
  });
  mosquitto_message_callback_set(client, [](mosquitto*, void* self, const mosquitto_message* m) {
    auto* s = static_cast<Session*>(self);
    std::lock_guard lock(s->mutex);
    const std::string topic = m->topic;
    const auto outcome = s->collector.take(
        topic,
        std::string_view(static_cast<const char*>(m->payload), static_cast<size_t>(m->payloadlen)),
        std::chrono::steady_clock::now());
    s->lastMessage = std::chrono::steady_clock::now();
    s->lookedAgain = false;
    if (outcome == radmon::Collected::Written) s->lastRecord = s->lastMessage;
    log(msg::collected(outcome, topic, s->collector.error()));
  });
}

// Asks for the gaps and tells what stays missing until a stop signal, or until the
// stations have been quiet for `idleSeconds` with nothing missing.
void collectUntilStopped(Session& session, mosquitto* client, int idleSeconds) {
  while (!*radmon::StopSignals::requested()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::lock_guard lock(session.mutex);
    const auto now = std::chrono::steady_clock::now();
    const auto due = session.collector.tend(now);
    for (const radmon::MissingSpan& span : due.ask) {
      log(msg::asking(span));
      const std::string topic = session.collector.requestTopic(span.station);
      const std::string payload = radmon::resendJson({span.from, span.to, span.most});
      mosquitto_publish(client, nullptr, topic.c_str(), static_cast<int>(payload.size()),
                        payload.data(), 1, false);
    }
    for (const radmon::MissingSpan& span : due.missing) log(msg::missing(span));
    // Once the messages pause, each station's retained newest record is asked for again:
    // what the broker dropped at a station's end shows as a gap before it.
    if (!session.lookedAgain && now - session.lastMessage > kQuiet) {
      session.lookedAgain = true;
      mosquitto_subscribe(client, nullptr, session.filters.front().c_str(), 1);
    }
    if (idleSeconds <= 0 || session.collector.openGaps() > 0 || !session.lookedAgain) continue;
    if (now - session.lastRecord > std::chrono::seconds(idleSeconds)) break;
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  radmon::OptionCheck check;
  if (const auto ended = radmon::startCommandLine(msg::options(), args, &check)) return *ended;
  CollectOptions o;
  if (const auto refused = readOptions(check, o)) return *refused;
  const auto parsed = radmon::parseMqttAddress(o.url);
  if (!parsed) {
    std::cerr << msg::badAddress(parsed.error()) << "\n" << msg::usage() << std::endl;
    return 2;
  }
  const auto& address = *parsed;
  std::string password = address.password.value_or("");
  if (const char* env = std::getenv("RADMON_MQTT_PASSWORD"); env && password.empty())
    password = env;

  std::error_code ec;
  std::filesystem::create_directories(o.folder, ec);
  logPath = o.folder + "radmon-collect.log";
  // A name of its own, kept in the folder: the broker keeps its session (and what the
  // stations send while it is away) across its restarts, and two collectors on one
  // prefix never take each other's place.
  if (o.instance.empty()) {
    const auto kept = radmon::loadStationIdentity(o.folder + "radmon-collect.id");
    o.instance = hostName() + "-" + (kept.id.empty() ? std::to_string(::getpid()) : kept.id);
  }
  const std::string shared = o.group.empty() ? std::string() : "$share/" + o.group + "/";
  Session session(
      radmon::Collector(o.folder, address.prefix, std::chrono::seconds(o.giveUpSeconds)),
      {shared + address.prefix + "/+/state", shared + address.prefix + "/+/resent"},
      radmon::addressText(address));

  // A lasting session (clean_session false, QoS 1): what the stations send while the
  // collector is away waits for it, up to the broker's queue limit; the rest is asked of
  // the stations again.
  const std::string id = "radmon-collect-" + o.instance;
  log(msg::instance(id));
  radmon::MqttClient client(id, false, &session);
  if (!client.handle()) {
    std::cerr << msg::cannotStart(std::strerror(errno)) << std::endl;
    return 1;
  }
  if (const auto set = client.setUp(address, password, o.caFile); !set) {
    log(msg::cannotStart(set.error()));
    return 1;
  }
  listen(client.handle());
  radmon::StopSignals::listen({SIGINT, SIGTERM});
  if (const auto running = client.start(address); !running) {
    log(msg::cannotStart(running.error()));
    return 1;
  }
  collectUntilStopped(session, client.handle(), o.idleSeconds);
  client.stop();
  std::lock_guard lock(session.mutex);
  log(msg::summary(session.collector.written(), session.collector.openGaps()));
  return 0;
}
