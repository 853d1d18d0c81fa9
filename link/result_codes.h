// The link's result codes: what its operations return, what QueryStatus and QueryUserStatus
// report, and what a file job leaves in the transport's FileError. Callers compare against
// these names and map them to texts; the numbers are fixed because callers outside the
// library already know them.
#pragma once

#include <cstdint>

// The login levels of the handshake (kLoginRefused 500, kLoginLimited 501, kLoginFull 502,
// kLoginRefusedOther 503) are the controller's own wire values and live with the package.
#include "package.h"

namespace vandir {

// Results shared by many operations.
inline constexpr int kOk = 0;
inline constexpr int kRefused = -1;        // not logged in, no right, gate or list busy
inline constexpr int kBadArgument = -17;   // an empty address, a text or number that cannot go
inline constexpr int kNotConnected = -65;  // also Connect_TCP's "already connected"

// Refused write arguments, besides kBadArgument.
inline constexpr int kAxisOutOfRange = 4;  // the controller's own code for a bad axis or index
inline constexpr int kBadRegister = -71;   // a PLC register address out of range

// Starting an upload (SendFile, AskSendFilePiece); a download start uses kBadArgument.
inline constexpr int kNameMissing = -21;  // a name empty, or both too long for one package
inline constexpr int kFileMissing = -22;
inline constexpr int kFileUnreadable = -23;

// GetConnectStatus: the link counts as lost from this many seconds without a reply.
inline constexpr int kStaleAfterSeconds = 6;
// GetConnectType once Connect_TCP was accepted (0 otherwise).
inline constexpr int kConnectTypeUp = 15;

// The changed flag of a read operation.
inline constexpr int kUnchanged = 0;
inline constexpr int kChanged = 1;
inline constexpr int kIndexRefused = -1;

// QueryStatus: the outcome of the last write behind the set gate. Any other value is the
// controller's refusal code.
inline constexpr std::int16_t kSetDone = 0;
inline constexpr std::int16_t kSetPending = 999;
inline constexpr std::int16_t kSetTimedOut = -999;  // unanswered for kSetGateTimeoutSeconds
inline constexpr std::int16_t kSetNoRight = -1000;  // refused by the link for the login level
inline constexpr std::int64_t kSetGateTimeoutSeconds = 180;

// QueryUserStatus: besides the login levels, the outcome of a connect attempt that never
// reached the controller's verdict, and "nothing new".
inline constexpr std::int16_t kNoNewLogin = 999;
inline constexpr std::int16_t kLoginNoConnection = -1;
inline constexpr std::int16_t kLoginShortReply = -2;

// FileError of a file job. 0 while fine; a positive value is the controller's verdict
// (iParam1 of its reply), passed on unchanged.
inline constexpr int kJobFine = 0;
inline constexpr int kJobConnectionLost = -1;  // the connection dropped (any job)
inline constexpr int kUploadUnreadable = -1;   // the local file cannot be opened or read
inline constexpr int kUploadNegativeSize = -2;
inline constexpr int kUploadStartShortReply = -3;
inline constexpr int kUploadStartShortSend = -4;
inline constexpr int kUploadDataShortReply = -5;
inline constexpr int kUploadDataShortSend = -6;
inline constexpr int kUploadEndShortReply = -7;
inline constexpr int kUploadEndShortSend = -8;
inline constexpr int kDownloadUncreatable = -11;  // the local file cannot be created or replaced
inline constexpr int kDownloadPieceNotWritten = -12;  // a later piece: empty, or not written
inline constexpr int kDownloadPieceShortReply = -13;
inline constexpr int kDownloadPieceShortSend = -14;
inline constexpr int kDownloadFirstNotWritten = -15;
inline constexpr int kDownloadFirstShortReply = -16;
inline constexpr int kDownloadFirstShortSend = -17;

// The controller's answer to an upload whose target exists and may not be overwritten.
inline constexpr int kUploadTargetExists = 9;

}  // namespace vandir
