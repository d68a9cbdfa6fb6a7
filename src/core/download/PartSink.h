// One attempt's body, written to the download's part file as it arrives and
// hashed beside the writing (GrowingFileDigest). It continues what an earlier attempt kept from the
// same URL when the service answers a resume request with the rest of the same
// file, and starts the part file again otherwise.
#pragma once

#include "DownloadRequest.h"
#include "GrowingFileDigest.h"
#include "PartFile.h"
#include "RoomRule.h"

#include "core/http/HttpClient.h"
#include "platform/Crypto.h"
#include "platform/Files.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tandrel::download {

inline constexpr const char* kNoRoom = "磁盘空间不足,请清理后重试";
inline constexpr const char* kNotContinued = "The server's range does not continue the part file";
// A body of no announced length stops while the drive still has this much room.
inline constexpr std::uint64_t kUnannouncedMargin = std::uint64_t{64} << 20;

class PartSink final : public http::BodySink {
 public:
  // Why the attempt stopped, where it was the sink's doing.
  enum class Fault { None, NoRoom, NotContinued, TooLarge, Disk };

  PartSink(const DownloadRequest& request, std::string url, FreeSpaceQuery freeSpace = SystemFreeSpace);
  // An attempt given up keeps what arrived (Close).
  ~PartSink() override { Close(); }
  PartSink(const PartSink&) = delete;
  PartSink& operator=(const PartSink&) = delete;

  // Range and If-Range when what an earlier attempt kept from this URL, with
  // the service's validator, may be continued; nothing otherwise.
  http::Headers ResumeHeaders() const;

  std::optional<std::uint64_t> Begin(const http::AnswerHead& head) override;
  bool Write(std::span<const std::uint8_t> bytes) override;
  bool Idle() override;
  std::string Refusal() const override { return refusal_; }

  Fault LastFault() const { return fault_; }
  // Whether this attempt asked for the rest of kept bytes.
  bool Resuming() const { return kept_.has_value(); }
  // The bytes this attempt added to the part file.
  std::uint64_t Gained() const { return gained_; }
  // Once the answer is whole: closes the part file and gives its size and
  // digests. Throws std::runtime_error when the file is shorter than the answer
  // announced (a transfer cut where the transport could not tell).
  DownloadedFile Finish();
  // The attempt is over: what arrived is written, and the part file let go for
  // the next one (on Windows no handle may stay open on a file that goes).
  void Close();

 private:
  bool Refuse(Fault fault, std::string reason);
  // Refuses an answer that cannot continue the kept bytes, which go.
  std::optional<std::uint64_t> Restart();
  bool NoRoomHere();
  // The part file holds size bytes: the digests may go on to there.
  void Wrote(std::uint64_t size);
  bool Flush();
  // The drive's room once the part file goes (the answer starts it again).
  std::optional<std::uint64_t> RoomWithoutThePart() const;

  std::filesystem::path target_;
  std::uint64_t maxSize_;
  unsigned copies_;
  bool sha256_;
  std::string url_;
  FreeSpaceQuery freeSpace_;
  std::optional<PartInfo> kept_;  // what an earlier attempt left that this one may continue
  std::uint64_t keptSize_ = 0;
  std::unique_ptr<platform::ReplacementFile> file_;
  std::unique_ptr<platform::Md5> md5_;
  std::unique_ptr<platform::Sha256> sha_;
  // Each digest on a thread of its own, over the part file from its start.
  std::unique_ptr<GrowingFileDigest> md5Digest_, shaDigest_;
  std::vector<std::uint8_t> pending_;  // arrived, not yet written
  std::chrono::steady_clock::time_point flushedAt_;
  std::uint64_t size_ = 0;              // kept, written and pending
  std::optional<std::uint64_t> total_;  // the whole file's length, when announced
  std::uint64_t gained_ = 0;
  std::uint64_t roomCheckedAt_ = 0;  // size_ when the room was last asked, without a length
  Fault fault_ = Fault::None;
  std::string refusal_;
};

}  // namespace tandrel::download
