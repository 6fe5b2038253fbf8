// The server box read as an address, and the publishing settings file.
#include <gtest/gtest.h>

#include "publish_settings.h"
#include "server_address.h"

namespace radmon {
namespace {

TEST(ParseServerAddress, EveryFormTheBoxTakesAndWhatItRefuses) {
  using T = Transport;
  using E = AddressError;
  struct Case {
    const char* text;
    std::optional<ServerAddress> want;
    E error = E::Empty;
  };
  const Case cases[] = {
      {"ftp.example.com", ServerAddress{T::Ftp, "ftp.example.com", 21}},
      {"  h   2121 ", ServerAddress{T::Ftp, "h", 2121}},
      {"h:2121", ServerAddress{T::Ftp, "h", 2121}},
      {"[::1]:2121", ServerAddress{T::Ftp, "::1", 2121}},
      {"[::1] 2121", ServerAddress{T::Ftp, "::1", 2121}},
      {"::1", ServerAddress{T::Ftp, "::1", 21}},
      {"FTP://h:2121/", ServerAddress{T::Ftp, "h", 2121}},
      {"ftps://h", ServerAddress{T::Ftps, "h", 21}},
      {"ftps://h:990", ServerAddress{T::Ftps, "h", 990}},
      {"sftp://h", ServerAddress{T::Sftp, "h", 22}},
      {"sftp://[2001:db8::5]:2222", ServerAddress{T::Sftp, "2001:db8::5", 2222}},
      {"sftp://h 2222", ServerAddress{T::Sftp, "h", 2222}},
      {"", std::nullopt, E::Empty},
      {"   ", std::nullopt, E::Empty},
      {"h 0", std::nullopt, E::BadPort},
      {"h 65536", std::nullopt, E::BadPort},
      {"h:21x", std::nullopt, E::BadPort},
      {"h:", std::nullopt, E::BadPort},
      {"http://h", std::nullopt, E::BadScheme},
      {"h/ 2121", std::nullopt, E::BadHost},  // once silently port 21
      {"ftp://h/pub", std::nullopt, E::BadHost},
      {"[::1", std::nullopt, E::BadHost},
      {"[h]:21", std::nullopt, E::BadHost},
      {"user@h", std::nullopt, E::BadHost},
      {"h:2121 2121", std::nullopt, E::TooManyWords},
      {"h 21 x", std::nullopt, E::TooManyWords},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto got = parseServerAddress(c.text);
    ASSERT_EQ(got.has_value(), c.want.has_value());
    if (c.want) {
      EXPECT_EQ(std::tie(got->transport, got->host, got->port),
                std::tie(c.want->transport, c.want->host, c.want->port));
    } else {
      EXPECT_EQ(got.error(), c.error);
    }
  }
  EXPECT_EQ(parseServerAddress("[::1]:21")->urlBase(), "ftp://[::1]:21");
  EXPECT_EQ(parseServerAddress("sftp://h")->key(), "h:22");
}

TEST(PublishSettings, ReadsBackWhatIsWrittenAndSkipsWhatItCannotUseLikeAFingerprintOfOtherCase) {
  PublishSettings settings;
  settings.tlsRequired = true;
  settings.trustedCertificateFile = "/srv/station/host ca.pem";
  settings.trustedFingerprints = {std::string(64, 'A'), std::string(64, '0')};
  settings.trustedHostKeys = {"SHA256:eiT6dbCVt7E0Lz/DU8soKSTFn/d0ilCfxlqigsnRYYE",
                              "SHA256:OgBJnaDrjLFa0/MmxtiD0lZnaga3Yt5FJLOALA9rD40"};
  settings.keyFile = "/srv/station/id_ed25519";
  settings.retryMinutes = 15;
  settings.publishPage = true;
  const auto back = parsePublishSettings(publishSettingsText(settings));
  EXPECT_EQ(back.value, settings);
  EXPECT_TRUE(back.clean());

  const auto read = parsePublishSettings(
      "# comment\r\nTlsRequired=yes\r\nRetryMinutes=0\r\nLater=1\r\nnonsense\r\n"
      "TrustedFingerprints= " +
      std::string(31, 'a') + ":" + std::string(32, 'b') + "c , xyz\r\n" +
      "TrustedHostKeys= OgBJnaDrjLFa0/MmxtiD0lZnaga3Yt5FJLOALA9rD40=, SHA256:short\r\n");
  const PublishSettings& odd = read.value;
  using I = LineIssue<SettingsIssue>;
  EXPECT_EQ(read.issues, (std::vector<I>{{2, SettingsIssue::BadValue, "TlsRequired"},
                                         {3, SettingsIssue::BadValue, "RetryMinutes"},
                                         {5, SettingsIssue::UnknownLine, "nonsense"},
                                         {6, SettingsIssue::BadValue, "TrustedFingerprints"},
                                         {7, SettingsIssue::BadValue, "TrustedHostKeys"}}))
      << "a later version's name (Later) is no fault";
  EXPECT_FALSE(odd.tlsRequired);
  EXPECT_EQ(publishSettingsText(PublishSettings{}).find("PublishPage"), std::string::npos)
      << "the file of a station without a page keeps its lines";
  EXPECT_EQ(odd.retryMinutes, PublishSettings{}.retryMinutes);
  EXPECT_EQ(odd.trustedFingerprints,
            std::set<std::string>{std::string(31, 'A') + std::string(32, 'B') + "C"});
  EXPECT_EQ(odd.trustedHostKeys,
            std::set<std::string>{"SHA256:OgBJnaDrjLFa0/MmxtiD0lZnaga3Yt5FJLOALA9rD40"})
      << "the SHA256: and the padding may be left out";
  // Colons and case are the same fingerprint.
  const std::string hex(64, 'f');
  EXPECT_EQ(normalFingerprint(shownFingerprint(hex)), std::string(64, 'F'));
  EXPECT_EQ(shownFingerprint("ABCD"), "AB:CD");
  EXPECT_FALSE(normalFingerprint(std::string(63, 'a')));
  EXPECT_FALSE(normalFingerprint(std::string(64, 'g')));
}

}  // namespace
}  // namespace radmon
