#include "local_broker.h"

#include <fcntl.h>
#include <mosquitto.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "local_ftp_server.h"

namespace radmon::testing {
namespace {

namespace fs = std::filesystem;

int run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

}  // namespace

LocalBroker::LocalBroker(Options options) : options_(std::move(options)) {
  char pattern[] = "/tmp/radmon_broker_XXXXXX";
  folder_ = ::mkdtemp(pattern);
  port_ = static_cast<int>(ftp::testing::freePort(0));
  std::ofstream conf(folder_ + "/mosquitto.conf");
  // Run as root, mosquitto would switch to its own user, who may not read this folder.
  if (const passwd* me = ::getpwuid(::getuid())) conf << "user " << me->pw_name << "\n";
  if (!options_.plain)
    conf << "per_listener_settings false\npersistence true\npersistence_location " << folder_
         << "/\nautosave_interval 0\nmax_queued_messages 0\n";
  conf << "log_dest file " << folder_ << "/broker.log\nlistener " << port_ << " 127.0.0.1\n";
  if (!options_.user.empty()) {
    run("mosquitto_passwd -b -c '" + folder_ + "/passwd' '" + options_.user + "' '" +
        options_.password + "'");
    conf << "allow_anonymous false\npassword_file " << folder_ << "/passwd\n";
  } else {
    conf << "allow_anonymous true\n";
  }
  if (options_.tls) {
    run("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 "
        "-addext subjectAltName=IP:127.0.0.1 -keyout '" +
        folder_ + "/key.pem' -out '" + folder_ + "/cert.pem'");
    conf << "certfile " << folder_ << "/cert.pem\nkeyfile " << folder_ << "/key.pem\n";
  }
}

LocalBroker::~LocalBroker() {
  stop();
  fs::remove_all(folder_);
}

std::string LocalBroker::log() const {
  std::ifstream in(folder_ + "/broker.log", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool LocalBroker::start() {
  if (pid_ > 0) return true;
  pid_ = ::fork();
  if (pid_ == 0) {
    const std::string conf = folder_ + "/mosquitto.conf";
    const int devNull = ::open("/dev/null", O_WRONLY);
    ::dup2(devNull, 1);
    ::dup2(devNull, 2);
    ::execlp("mosquitto", "mosquitto", "-c", conf.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  for (int i = 0; i < 100; ++i) {
    if (ftp::testing::acceptsOnLoopback(static_cast<unsigned>(port_))) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

void LocalBroker::stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

Subscriber::Subscriber(int port, const std::string& filter, const std::string& user,
                       const std::string& password, const std::string& caFile) {
  mosquitto_lib_init();
  // A session that outlives a broker restart, so nothing sent meanwhile is missed.
  static int serial = 0;
  const std::string id =
      "radmon-test-" + std::to_string(::getpid()) + "-" + std::to_string(++serial);
  client_ = mosquitto_new(id.c_str(), false, this);
  if (!user.empty()) mosquitto_username_pw_set(client_, user.c_str(), password.c_str());
  if (!caFile.empty())
    mosquitto_tls_set(client_, caFile.c_str(), nullptr, nullptr, nullptr, nullptr);
  mosquitto_message_callback_set(client_, [](mosquitto*, void* self, const mosquitto_message* m) {
    auto* s = static_cast<Subscriber*>(self);
    std::lock_guard lock(s->mutex_);
    s->messages_.push_back(
        {m->topic,
         std::string(static_cast<const char*>(m->payload), static_cast<size_t>(m->payloadlen)),
         m->retain, std::chrono::steady_clock::now()});
    s->changed_.notify_all();
  });
  mosquitto_connect(client_, "127.0.0.1", port, 30);
  mosquitto_subscribe(client_, nullptr, filter.c_str(), 1);
  mosquitto_loop_start(client_);
}

Subscriber::~Subscriber() {
  mosquitto_disconnect(client_);
  mosquitto_loop_stop(client_, false);
  mosquitto_destroy(client_);
}

bool Subscriber::waitFor(const std::function<bool(const std::vector<ReceivedMessage>&)>& done,
                         std::chrono::milliseconds limit) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, limit, [&] { return done(messages_); });
}

std::vector<ReceivedMessage> Subscriber::messages() const {
  std::lock_guard lock(mutex_);
  return messages_;
}

std::vector<std::string> payloadsOn(const std::vector<ReceivedMessage>& messages,
                                    const std::string& topic) {
  std::vector<std::string> out;
  for (const auto& m : messages)
    if (m.topic == topic) out.push_back(m.payload);
  return out;
}

std::vector<std::string> Subscriber::payloadsOn(const std::string& topic) const {
  std::lock_guard lock(mutex_);
  return testing::payloadsOn(messages_, topic);
}

pid_t spawnIn(const fs::path& folder, const std::string& command, const std::string& env) {
  const std::string line =
      "cd '" + folder.string() + "' && " + env + " exec " + command + " >out.txt 2>err.txt";
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  return pid;
}

int waitExit(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace radmon::testing
