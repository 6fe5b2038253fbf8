#include "sftp_replace.h"

#include <optional>
#include <string_view>
#include <utility>

namespace radmon::ftp {
namespace {

// SFTP version 3 (draft-ietf-secsh-filexfer-02) packet types used here.
constexpr char kInit = 1;
constexpr char kVersion = 2;
constexpr char kStatus = 101;
constexpr char kExtended = static_cast<char>(200);
constexpr const char* kPosixRename = "posix-rename@openssh.com";
constexpr uint32_t kMaxPacket = 256 * 1024;

void putNumber(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(value >> shift));
}

void putString(std::string& out, std::string_view text) {
  putNumber(out, static_cast<uint32_t>(text.size()));
  out.append(text);
}

// The body with its length in front.
std::string packet(const std::string& body) {
  std::string out;
  putNumber(out, static_cast<uint32_t>(body.size()));
  return out + body;
}

// Reads the fields of a received body in order; any read past its end fails.
class Reader {
 public:
  explicit Reader(std::string_view body) : rest_(body) {}
  std::optional<uint32_t> number() {
    if (rest_.size() < 4) return std::nullopt;
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(rest_[i]);
    rest_.remove_prefix(4);
    return value;
  }
  std::optional<std::string_view> string() {
    const auto length = number();
    if (!length || *length > rest_.size()) return std::nullopt;
    const std::string_view text = rest_.substr(0, *length);
    rest_.remove_prefix(*length);
    return text;
  }
  bool empty() const { return rest_.empty(); }

 private:
  std::string_view rest_;
};

// libssh takes its host key algorithms by signature name; an RSA key signs with SHA-2.
std::string hostKeyAlgorithms(const std::string& type) {
  if (type == "ssh-rsa") return "rsa-sha2-512,rsa-sha2-256,ssh-rsa";
  return type;
}

}  // namespace

SftpReplace::SftpReplace(SftpLogin login) : login_(std::move(login)) {}

SftpReplace::~SftpReplace() {
  if (opening_.joinable()) opening_.join();
  close();
}

void SftpReplace::prepare() {
  if (session_ != nullptr || opening_.joinable()) return;
  opening_ = std::thread([this] { opened_ = open(); });
}

void SftpReplace::close() {
  if (channel_ != nullptr) {
    ssh_channel_close(channel_);
    ssh_channel_free(channel_);
    channel_ = nullptr;
  }
  if (session_ != nullptr) {
    ssh_disconnect(session_);
    ssh_free(session_);
    session_ = nullptr;
  }
}

bool SftpReplace::open() {
  session_ = ssh_new();
  if (session_ == nullptr) {
    detail_ = "ssh_new";
    return false;
  }
  const long timeout = login_.timeoutSeconds;
  const int port = static_cast<int>(login_.port);
  const int no = 0;
  // The user's own ssh settings and known hosts are not this station's.
  ssh_options_set(session_, SSH_OPTIONS_PROCESS_CONFIG, &no);
  ssh_options_set(session_, SSH_OPTIONS_KNOWNHOSTS, "/dev/null");
  ssh_options_set(session_, SSH_OPTIONS_GLOBAL_KNOWNHOSTS, "/dev/null");
  ssh_options_set(session_, SSH_OPTIONS_HOST, login_.host.c_str());
  ssh_options_set(session_, SSH_OPTIONS_PORT, &port);
  ssh_options_set(session_, SSH_OPTIONS_USER, login_.user.c_str());
  ssh_options_set(session_, SSH_OPTIONS_TIMEOUT, &timeout);
  // The same kind of key as libcurl's session was shown, so that the two can be compared.
  if (!login_.hostKeyType.empty())
    ssh_options_set(session_, SSH_OPTIONS_HOSTKEYS, hostKeyAlgorithms(login_.hostKeyType).c_str());
  if (ssh_connect(session_) != SSH_OK) {
    detail_ = ssh_get_error(session_);
    return false;
  }

  if (!login_.hostKeyFingerprint.empty()) {
    ssh_key key = nullptr;
    unsigned char* hash = nullptr;
    size_t length = 0;
    std::string fingerprint;
    if (ssh_get_server_publickey(session_, &key) == SSH_OK &&
        ssh_get_publickey_hash(key, SSH_PUBLICKEY_HASH_SHA256, &hash, &length) == SSH_OK) {
      // "SHA256:" and unpadded base64, as OpenSSH and host_keys.h write it.
      char* text = ssh_get_fingerprint_hash(SSH_PUBLICKEY_HASH_SHA256, hash, length);
      if (text != nullptr) fingerprint = text;
      ssh_string_free_char(text);
    }
    ssh_clean_pubkey_hash(&hash);
    ssh_key_free(key);
    if (fingerprint != login_.hostKeyFingerprint) {
      detail_ = "host key " + fingerprint + " is not " + login_.hostKeyFingerprint;
      return false;
    }
  }

  int auth = SSH_AUTH_DENIED;
  if (!login_.keyFile.empty()) {
    ssh_key key = nullptr;
    const char* passphrase = login_.password.empty() ? nullptr : login_.password.c_str();
    if (ssh_pki_import_privkey_file(login_.keyFile.c_str(), passphrase, nullptr, nullptr, &key) ==
        SSH_OK)
      auth = ssh_userauth_publickey(session_, nullptr, key);
    ssh_key_free(key);
  } else {
    auth = ssh_userauth_password(session_, nullptr, login_.password.c_str());
    if (auth != SSH_AUTH_SUCCESS) {
      // Keyboard-interactive, every prompt answered with the password, as libcurl does.
      auth = ssh_userauth_kbdint(session_, nullptr, nullptr);
      for (int round = 0; auth == SSH_AUTH_INFO && round < 5; ++round) {
        const int prompts = ssh_userauth_kbdint_getnprompts(session_);
        for (int i = 0; i < prompts; ++i)
          ssh_userauth_kbdint_setanswer(session_, static_cast<unsigned>(i),
                                        login_.password.c_str());
        auth = ssh_userauth_kbdint(session_, nullptr, nullptr);
      }
    }
  }
  if (auth != SSH_AUTH_SUCCESS) {
    detail_ = std::string("login: ") + ssh_get_error(session_);
    return false;
  }

  channel_ = ssh_channel_new(session_);
  if (channel_ == nullptr || ssh_channel_open_session(channel_) != SSH_OK ||
      ssh_channel_request_subsystem(channel_, "sftp") != SSH_OK) {
    detail_ = ssh_get_error(session_);
    return false;
  }
  std::string init(1, kInit);
  putNumber(init, 3);
  std::string version;
  if (!send(init) || !receive(version)) return false;
  Reader reader(std::string_view(version).substr(1));
  if (version.front() != kVersion || !reader.number()) {
    detail_ = "SFTP: no version";
    return false;
  }
  while (!reader.empty()) {
    const auto name = reader.string();
    const auto data = reader.string();
    if (!name || !data) break;
    if (*name == kPosixRename && *data == "1") offered_ = true;
  }
  return true;
}

bool SftpReplace::send(const std::string& body) {
  const std::string whole = packet(body);
  if (ssh_channel_write(channel_, whole.data(), static_cast<uint32_t>(whole.size())) ==
      static_cast<int>(whole.size()))
    return true;
  detail_ = ssh_get_error(session_);
  return false;
}

bool SftpReplace::receive(std::string& body) {
  const auto readExactly = [this](char* into, uint32_t count) {
    uint32_t got = 0;
    while (got < count) {
      const int read = ssh_channel_read_timeout(channel_, into + got, count - got, 0,
                                                login_.timeoutSeconds * 1000);
      if (read <= 0) {
        detail_ = read == 0 ? "SFTP: no answer" : ssh_get_error(session_);
        return false;
      }
      got += static_cast<uint32_t>(read);
    }
    return true;
  };
  char head[4];
  if (!readExactly(head, 4)) return false;
  const uint32_t length = *Reader(std::string_view(head, 4)).number();
  if (length == 0 || length > kMaxPacket) {
    detail_ = "SFTP: packet of " + std::to_string(length) + " bytes";
    return false;
  }
  body.assign(length, '\0');
  return readExactly(body.data(), length);
}

SftpReplaceResult SftpReplace::replace(const std::string& from, const std::string& to) {
  prepare();
  if (opening_.joinable()) {
    opening_.join();  // detail_ is the thread's until then
    if (!opened_) {
      close();
      return SftpReplaceResult::Failed;
    }
  }
  detail_.clear();
  if (!offered_) return SftpReplaceResult::NotOffered;
  const uint32_t id = nextId_++;
  std::string request(1, kExtended);
  putNumber(request, id);
  putString(request, kPosixRename);
  putString(request, from);
  putString(request, to);
  std::string reply;
  if (!send(request) || !receive(reply)) {
    close();
    return SftpReplaceResult::Failed;
  }
  Reader reader(std::string_view(reply).substr(1));
  const auto replyId = reader.number();
  const auto status = reader.number();
  if (reply.front() != kStatus || replyId != id || !status) {
    detail_ = "SFTP: unexpected reply";
    close();
    return SftpReplaceResult::Failed;
  }
  if (*status == 0) return SftpReplaceResult::Replaced;
  detail_ = "SFTP status " + std::to_string(*status) + ": " +
            std::string(reader.string().value_or(std::string_view()));
  return SftpReplaceResult::Refused;
}

}  // namespace radmon::ftp
