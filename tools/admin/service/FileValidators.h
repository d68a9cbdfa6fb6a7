// Validators for the files the service gives out (the box, the launchers, the
// banner), so that a client can ask for the rest of a file only if it is still the
// same (If-Range): a strong ETag from the SHA-256 of the very file opened, worked
// out once per version of it, and Last-Modified.
#pragma once

#include "../SiteFolder.h"
#include "FileStamp.h"

#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

namespace tandrel::admin {

struct Validators {
  std::string etag;           // "\"<64 hex digits>\""
  std::string lastModified;   // an IMF-fixdate
  bool dateIsStrong = false;  // modified at least a second before now (RFC 9110, 8.8.2.2)
};

class ValidatorCache {
 public:
  // Reads the file once per version (its stamp); thread-safe.
  Validators Of(const SiteFile& file);

 private:
  struct Known {
    FileStamp stamp;
    std::string etag;
  };
  std::mutex mutex_;
  std::map<std::pair<dev_t, ino_t>, Known> known_;
};

// Whether a range request's If-Range lets its Range stand (RFC 9110, 13.1.5): an
// entity tag that is the file's strong ETag, or the file's Last-Modified, exactly,
// where that date is strong. Anything else, a weak tag among it, asks for the
// whole file.
bool IfRangeHolds(std::string_view ifRange, const Validators& current);

// An IMF-fixdate: "Sun, 06 Nov 1994 08:49:37 GMT".
std::string HttpDate(std::time_t time);

}  // namespace tandrel::admin
