// A file answered as a file server answers it ("Range: bytes=N-" with If-Range
// against its ETag), with the faults of a bad line or a careless server that a
// test sets in the shared values:
//   "etag"          the file's ETag (default "\"1\"")
//   "cut-at"        byte offsets of the whole file, comma-separated: an answer
//                   whose part of the file holds the first of them closes the
//                   connection there, and that offset is used up
//   "ignore-range"  set: every answer is the whole file with 200
//   "bad-range"     set: a range answer starts one byte after the one asked for
// Recorded: "ranges", one line per request (its Range header, or "-"), and
// "sent", one line per piece written (its byte count).
#pragma once

#include "RouteSets.h"

#include <httplib.h>

#include <algorithm>
#include <string>

namespace tandrel::test {

inline void AnswerResumable(const httplib::Request& req, httplib::Response& res, RouteContext& context,
                            const std::string& body) {
  // The routes answer ranges themselves: cpp-httplib would otherwise apply its own.
  const_cast<httplib::Request&>(req).ranges.clear();
  const std::string etag = context.Get("etag", "\"1\"");
  res.set_header("ETag", etag);
  res.set_header("Accept-Ranges", "bytes");
  const std::string range = req.get_header_value("Range");
  context.AddLine("ranges", range.empty() ? "-" : range);
  std::size_t first = 0;
  const bool honoured = range.starts_with("bytes=") && range.ends_with("-") && context.Get("ignore-range").empty() &&
                        (!req.has_header("If-Range") || req.get_header_value("If-Range") == etag);
  if (honoured) {
    first = std::stoul(range.substr(6, range.size() - 7));
    if (first >= body.size()) {
      res.status = 416;
      res.set_header("Content-Range", "bytes */" + std::to_string(body.size()));
      return;
    }
    if (!context.Get("bad-range").empty()) ++first;
    res.status = 206;
    res.set_header("Content-Range", "bytes " + std::to_string(first) + "-" + std::to_string(body.size() - 1) + "/" +
                                        std::to_string(body.size()));
  }
  // The first cut inside this answer's part of the file, used up.
  std::size_t end = body.size();
  std::string cuts = context.Get("cut-at"), rest;
  for (std::size_t at = 0; at < cuts.size();) {
    const std::size_t comma = std::min(cuts.find(',', at), cuts.size());
    const std::size_t cut = std::stoul(cuts.substr(at, comma - at));
    if (end == body.size() && cut > first && cut < body.size()) end = cut;
    else rest += (rest.empty() ? "" : ",") + std::to_string(cut);
    at = comma + 1;
  }
  context.Set("cut-at", rest);
  res.set_content_provider(body.size() - first, "application/octet-stream",
                           [&context, body, first, end](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                             const std::size_t at = first + offset;
                             if (at >= end) return false;  // closes the connection: the line broke
                             const std::size_t piece = std::min<std::size_t>(end - at, 64 * 1024);
                             context.AddLine("sent", std::to_string(piece));
                             return sink.write(body.data() + at, piece);
                           });
}

}  // namespace tandrel::test
