// An answer that declares its whole body but closes the connection half-way
// through it: a transfer cut by a bad line.
#pragma once

#include <httplib.h>

#include <string>

namespace tandrel::test {

inline void AnswerCutHalfway(httplib::Response& res, const std::string& body, const char* contentType) {
  res.set_content_provider(body.size(), contentType, [body](std::size_t offset, std::size_t, httplib::DataSink& sink) {
    if (offset >= body.size() / 2) return false;  // closes the connection
    return sink.write(body.data(), body.size() / 2);
  });
}

}  // namespace tandrel::test
