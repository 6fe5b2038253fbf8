// The exit statuses of ftpscript, one per cause of the first failure: ftpscript exits
// with them and dayplot words them.
#pragma once

namespace radmon::ftp {

inline constexpr int kExitOk = 0;
inline constexpr int kExitOther = 1;            // a failure with none of the causes below
inline constexpr int kExitScriptFaulty = 2;     // usage, unreadable script, bad lines
inline constexpr int kExitConnection = 3;       // refused, or no route to the server
inline constexpr int kExitResolve = 4;          // the server's name does not resolve
inline constexpr int kExitCertificate = 5;      // the server's certificate failed the check
inline constexpr int kExitHostKey = 6;          // the SSH server's key was refused
inline constexpr int kExitLogin = 7;            // user name or password refused
inline constexpr int kExitFolder = 8;           // a folder missing or not to be entered
inline constexpr int kExitDiskFull = 9;         // 452/552: out of space or over quota
inline constexpr int kExitRefused = 10;         // a write, rename or command refused
inline constexpr int kExitTimeOut = 11;         // the server silent, or a transfer stalled
inline constexpr int kExitBroken = 12;          // the connection broke in every try
inline constexpr int kExitTlsRefused = 13;      // TLS required or known, the server refused it
inline constexpr int kExitHostKeyNew = 14;      // -k: an SSH host key seen first, not kept
inline constexpr int kExitHostKeyRevoked = 15;  // the SSH host key is marked revoked

}  // namespace radmon::ftp
