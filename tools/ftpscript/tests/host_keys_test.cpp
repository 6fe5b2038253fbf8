#include "host_keys.h"

#include <gtest/gtest.h>

#include <string>

namespace radmon::ftp {
namespace {

// Two ed25519 keys made with ssh-keygen, their fingerprints as `ssh-keygen -lf` shows them.
constexpr const char* kFirst =
    "AAAAC3NzaC1lZDI1NTE5AAAAIDscmna8Fa1jk9rS1l9FOJ+R73n15crTxWQavruUKHBh";
constexpr const char* kFirstPrint = "SHA256:eiT6dbCVt7E0Lz/DU8soKSTFn/d0ilCfxlqigsnRYYE";
constexpr const char* kSecond =
    "AAAAC3NzaC1lZDI1NTE5AAAAIIK7nNhw//Zr/fwdFCB6wtz3A2Z1f8OxyC2FIW7ewmjn";
constexpr const char* kSecondPrint = "SHA256:OgBJnaDrjLFa0/MmxtiD0lZnaga3Yt5FJLOALA9rD40";
// "[127.0.0.1]:2222" with the first key, hashed by `ssh-keygen -H`.
constexpr const char* kHashedName = "|1|lpDeuwcqfuKjkK6POkwkZzI/Dqg=|3RqXJ79FsIk9soVcGS2eg7gQvA4=";

std::string blob(const std::string& base64) {
  static const std::string kDigits =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string bytes;
  unsigned bits = 0;
  int count = 0;
  for (const char c : base64) {
    if (c == '=') break;
    bits = bits << 6 | static_cast<unsigned>(kDigits.find(c));
    count += 6;
    if (count >= 8) {
      count -= 8;
      bytes.push_back(static_cast<char>((bits >> count) & 0xFF));
    }
  }
  return bytes;
}

std::string line(const std::string& name, const char* key) {
  return name + " ssh-ed25519 " + key + "\n";
}

TEST(HostKeys, FingerprintAndNameAreOpenSshs) {
  EXPECT_EQ(hostKeyFingerprint(blob(kFirst)), kFirstPrint);
  EXPECT_EQ(hostKeyFingerprint(blob(kSecond)), kSecondPrint);
  EXPECT_EQ(knownHostName("127.0.0.1", 22), "127.0.0.1");
  EXPECT_EQ(knownHostName("127.0.0.1", 2222), "[127.0.0.1]:2222");
  EXPECT_EQ(knownHostName("::1", 2222), "[::1]:2222");
}

TEST(HostKeys, LookUpByHostAndPortWithEntriesByHostAloneForAPortWithoutItsOwn) {
  struct Case {
    const char* what;
    std::string knownHosts;
    unsigned port;
    HostKeyMatch match;
    bool byHostOnly;
  };
  const std::string h = "127.0.0.1";
  const Case cases[] = {
      {"empty", "", 2222, HostKeyMatch::New, false},
      {"own port", line("[127.0.0.1]:2222", kFirst), 2222, HostKeyMatch::Known, false},
      {"other port only", line("[127.0.0.1]:2022", kSecond), 2222, HostKeyMatch::New, false},
      {"two ports, two keys", line("[127.0.0.1]:2022", kSecond) + line("[127.0.0.1]:2222", kFirst),
       2222, HostKeyMatch::Known, false},
      {"changed", line("[127.0.0.1]:2222", kSecond), 2222, HostKeyMatch::Changed, false},
      {"own entry decides over the host's", line(h, kFirst) + line("[127.0.0.1]:2222", kSecond),
       2222, HostKeyMatch::Changed, false},
      {"old entry by host", line(h, kFirst), 2222, HostKeyMatch::Known, true},
      {"old entry by host, other key", line(h, kSecond), 2222, HostKeyMatch::Changed, false},
      {"port 22 is the host", line(h, kFirst), 22, HostKeyMatch::Known, false},
      {"port 22 ignores other ports", line("[127.0.0.1]:2222", kSecond), 22, HostKeyMatch::New,
       false},
      {"one of several keys", line(h + ",other", kSecond) + line(h, kFirst), 22,
       HostKeyMatch::Known, false},
      {"hashed", line(kHashedName, kFirst), 2222, HostKeyMatch::Known, false},
      {"hashed, other key", line(kHashedName, kSecond), 2222, HostKeyMatch::Changed, false},
      {"comments, markers, CR LF and short lines",
       "# x\r\n@revoked [127.0.0.1]:2222 ssh-ed25519 " + std::string(kSecond) +
           "\r\n[127.0.0.1]:2222 ssh-ed25519\r\n\r\n  [127.0.0.1]:2222  ssh-ed25519  " + kFirst +
           " comment\r\n",
       2222, HostKeyMatch::Known, false},
      {"wildcard port", line("[127.0.0.1]:*", kFirst), 2222, HostKeyMatch::Known, false},
      {"wildcard host, other key", line("127.0.0.*", kSecond), 22, HostKeyMatch::Changed, false},
      {"wildcard host is port 22's", line("127.0.0.*", kSecond), 2222, HostKeyMatch::New, false},
      {"one character", line("[127.0.0.?]:2222", kFirst), 2222, HostKeyMatch::Known, false},
      {"negated", line("127.0.0.*,!127.0.0.1", kSecond), 22, HostKeyMatch::New, false},
      {"revoked", "@revoked * ssh-ed25519 " + std::string(kFirst) + "\n" + line(h, kFirst), 22,
       HostKeyMatch::Revoked, false},
      {"revoked by host for another port",
       "@revoked 127.0.0.1 ssh-ed25519 " + std::string(kFirst) + "\n", 2222, HostKeyMatch::Revoked,
       false},
      {"revoked for another server", "@revoked other ssh-ed25519 " + std::string(kFirst) + "\n", 22,
       HostKeyMatch::New, false},
  };
  for (const Case& c : cases) {
    const HostKeyLookup found = lookUpHostKey(c.knownHosts, h, c.port, blob(kFirst));
    EXPECT_EQ(found.match, c.match) << c.what;
    EXPECT_EQ(found.byHostOnly, c.byHostOnly) << c.what;
  }
}

TEST(HostKeys, ReplacingKeepsOtherServersAndOtherNamesOfALine) {
  const std::string before = "# kept\n" + line("[127.0.0.1]:2022", kSecond) +
                             line("[127.0.0.1]:2222,backup", kSecond) + line(kHashedName, kSecond) +
                             line("127.0.0.1", kSecond);
  const std::string after = withHostKey(before, "127.0.0.1", 2222, blob(kFirst));
  EXPECT_EQ(after, "# kept\n" + line("[127.0.0.1]:2022", kSecond) + line("backup", kSecond) +
                       line("127.0.0.1", kSecond) + line("[127.0.0.1]:2222", kFirst));
  EXPECT_EQ(lookUpHostKey(after, "127.0.0.1", 2222, blob(kFirst)).match, HostKeyMatch::Known);
  EXPECT_EQ(withHostKey("", "::1", 22, blob(kSecond)), line("::1", kSecond));
  // The operator's own lines, wildcards and markers, stay as they are.
  const std::string own =
      "@revoked * ssh-ed25519 " + std::string(kSecond) + "\n" + line("[127.0.0.1]:*", kSecond);
  EXPECT_EQ(withHostKey(own, "127.0.0.1", 2222, blob(kFirst)),
            own + line("[127.0.0.1]:2222", kFirst));
  // An entry by host alone moves to the port it is found to be for, and then no longer
  // stands for another port's key.
  const std::string moved = withHostKey(line("127.0.0.1", kFirst) + line("127.0.0.1", kSecond),
                                        "127.0.0.1", 2222, blob(kFirst));
  EXPECT_EQ(moved, line("127.0.0.1", kSecond) + line("[127.0.0.1]:2222", kFirst));
  EXPECT_EQ(withHostKey(line("127.0.0.1", kFirst), "127.0.0.1", 22, blob(kFirst)),
            line("127.0.0.1", kFirst));
}

}  // namespace
}  // namespace radmon::ftp
