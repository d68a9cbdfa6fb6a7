#include "uConfig.h"

#include "TextCodec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>
#include <rapidjson/stream.h>

namespace tandrel {
namespace {

constexpr unsigned kParseFlags = rapidjson::kParseInsituFlag | rapidjson::kParseStopWhenDoneFlag |
                                 rapidjson::kParseIterativeFlag | rapidjson::kParseNumbersAsStringsFlag;

// The document's text, read and decoded in place. A type of its own, so that the
// scanners below replace RapidJSON's for this reader alone.
struct DocumentStream : rapidjson::InsituStringStream {
  // text holds size characters and a closing NUL.
  DocumentStream(char* text, std::size_t size) : rapidjson::InsituStringStream(text), limit_(text + size + 1) {}

  const char* limit_;  // just past the closing NUL: nothing from here on may be read
};

constexpr std::uint64_t kEveryByte = 0x0101010101010101;

// The eight characters at p as one word, the first in the lowest byte, so that a
// borrow between bytes can only run towards later characters.
static_assert(std::endian::native == std::endian::little, "the word scan reads characters in little-endian order");
std::uint64_t Word(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// The high bit of each byte that holds a quotation mark, a backslash or a control
// character. Bytes above the lowest flagged one may be flagged wrongly; the lowest is exact.
std::uint64_t RunEnders(std::uint64_t word) {
  const std::uint64_t quote = word ^ (kEveryByte * '"'), backslash = word ^ (kEveryByte * '\\');
  return (((quote - kEveryByte) & ~quote) | ((backslash - kEveryByte) & ~backslash) |
          ((word - kEveryByte * 0x20) & ~word)) &
         (kEveryByte * 0x80);
}

// The end of the plain characters of a string that start at p: its first quotation
// mark, backslash or control character (the closing NUL is one), eight at a time.
const char* PlainRunEnd(const char* p, const char* limit) {
  for (; limit - p >= 8; p += 8) {
    if (const std::uint64_t enders = RunEnders(Word(p))) return p + std::countr_zero(enders) / 8;
  }
  while (*p != '"' && *p != '\\' && static_cast<unsigned char>(*p) >= 0x20) ++p;
  return p;
}

class DocumentReader;

}  // namespace
}  // namespace tandrel

namespace rapidjson {

// The reader works on the stream itself: a copy of it for every string and every
// blank costs more than the copy saves once the plain runs are taken in words.
template <>
struct StreamTraits<tandrel::DocumentStream> {
  enum { copyOptimization = 0 };
};

// RFC 8259 lets numbers exceed a double's range, and lets a \u escape name a lone
// surrogate; RapidJSON refuses both (and writes a lone low surrogate as three bytes
// of invalid UTF-8). The document never uses a number's value and keeps a lone
// surrogate as one U+FFFD, so these two take over the number and the \u escape.
template <>
template <>
unsigned Reader::ParseHex4<tandrel::DocumentStream>(tandrel::DocumentStream& is, size_t escapeOffset);
template <>
template <>
void Reader::ParseNumber<tandrel::kParseFlags, tandrel::DocumentStream, tandrel::DocumentReader>(
    tandrel::DocumentStream& is, tandrel::DocumentReader& handler);

// RapidJSON reads a string's characters one by one unless it is built with its SIMD
// scanners, which serve its own stream types only; this one takes the plain run of
// a string in words.
template <>
template <>
void Reader::ScanCopyUnescapedString<tandrel::DocumentStream, tandrel::DocumentStream>(tandrel::DocumentStream& is,
                                                                                       tandrel::DocumentStream& os);

}  // namespace rapidjson

namespace tandrel {
namespace {

constexpr const char* kNotAnObject = "Implement population for rest of the types";
constexpr const char* kRootArray = "Unexpected Token while populate an Array";
constexpr const char* kArrayForObject = "Unexpected type while read json array";
constexpr const char* kPrimitiveForObject = "Unexpected type to create a primitive contract";
constexpr const char* kFieldNotText = "Invalid class typecast";

using Field = std::string TBoxConfig::*;
constexpr std::array<std::pair<std::string_view, Field>, 6> kFields = {{
    {"ServerName", &TBoxConfig::ServerName},
    {"LauncherName", &TBoxConfig::LauncherName},
    {"Url", &TBoxConfig::Url},
    {"BriefIntroduction", &TBoxConfig::BriefIntroduction},
    {"BeginTime", &TBoxConfig::BeginTime},
    {"Md5", &TBoxConfig::Md5},
}};

// What an open object or array of the document stands for.
enum class Role { RootObject, ListObject, FCountObject, Entries, Entry, Skipped };

// What the next value inside the innermost object is read as, decided by its name.
enum class Slot { Skip, ServerList, FListHelper, FItems, FCount, EntryField };

enum class Kind { Null, Bool, Number, String, Object, Array };

struct Frame {
  Role role = Role::Skipped;
  bool isArray = false;
  std::string_view name;  // member being read (objects), decoded in place where it stands
  long index = -1;        // element being read (arrays)
  Slot slot = Slot::Skip;
  Field field = nullptr;     // Entry: the field the next value goes to
  int members = 0;           // FCountObject
  bool expectItems = false;  // ListObject: the "FCount" form wants "FItems" next
};

class ParseFailure {};  // unwinds out of the handler; the message is kept aside

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The four hexadecimal digits at text, or nothing; looks no further than the first
// other character, so the text's closing NUL is never passed.
std::optional<unsigned> Hex4(const char* text) {
  unsigned value = 0;
  for (int i = 0; i < 4; ++i) {
    const int digit = HexDigitValue(text[i]);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<unsigned>(digit);
  }
  return value;
}

// An escape that the end of the text cuts short: a lone backslash, or "\u" with
// fewer than four hexadecimal digits.
bool IsEscapeCutShort(std::string_view rest) {
  if (rest == "\\") return true;
  return rest.starts_with("\\u") && rest.size() < 6 &&
         std::all_of(rest.begin() + 2, rest.end(), [](char c) { return HexDigitValue(c) >= 0; });
}

// Whether RapidJSON's own reading of the number as a double overflows: the check a
// fractional "FCount" has always been refused by first.
bool IsTooBigForDouble(std::string_view number) {
  const std::string text(number);  // NUL-terminated, as the reader needs
  rapidjson::StringStream stream(text.c_str());
  rapidjson::BaseReaderHandler<> ignore;
  return rapidjson::Reader().Parse(stream, ignore).Code() == rapidjson::kParseErrorNumberTooBig;
}

class DocumentReader : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, DocumentReader> {
 public:
  // text is kept as given, for the positions of errors; the reader decodes strings
  // in place in a copy of its own.
  DocumentReader(std::string_view text, std::vector<TBoxConfig>& list) : text_(text), work_(text), list_(list) {}

  void Read() {
    DocumentStream stream(work_.data(), work_.size());
    stream_ = &stream;
    rapidjson::Reader reader;
    const rapidjson::ParseResult result = reader.Parse<kParseFlags>(stream, *this);
    if (!failure_.empty()) throw DocumentError(failure_);
    if (result.IsError()) throw DocumentError(SanitizeUtf8(GrammarMessage(result)));
  }

  // Each value and member name is placed where reading stood when RapidJSON
  // reported it: past a literal, at the start of a number or string, past the "{"
  // or "[" (reported before it is taken).
  bool Null() { return Value(Kind::Null, stream_->Tell()); }
  bool Bool(bool) { return Value(Kind::Bool, stream_->Tell()); }
  bool RawNumber(const char* str, rapidjson::SizeType length, bool) {
    number_ = std::string_view(str, length);
    return Value(Kind::Number, OffsetInText(str));
  }
  bool String(const char* str, rapidjson::SizeType length, bool) {
    string_ = std::string_view(str, length);
    return Value(Kind::String, OpeningQuoteOf(str));
  }
  bool StartObject() { return Value(Kind::Object, stream_->Tell() + 1); }
  bool StartArray() { return Value(Kind::Array, stream_->Tell() + 1); }
  bool Key(const char* str, rapidjson::SizeType length, bool) {
    keyEnd_ = OpeningQuoteOf(str);
    return Guard([&] { OnKey({str, length}); });
  }
  bool EndObject(rapidjson::SizeType) {
    return Guard([&] { OnEnd(); });
  }
  bool EndArray(rapidjson::SizeType) {
    return Guard([&] { OnEnd(); });
  }

 private:
  template <typename F>
  bool Guard(F&& step) {
    try {
      step();
      return true;
    } catch (const ParseFailure&) {
      return false;
    }
  }

  bool Value(Kind kind, std::size_t end) {
    valueEnd_ = end;
    return Guard([&] { OnValue(kind); });
  }

  [[noreturn]] void Fail(const std::string& message) {
    failure_ = SanitizeUtf8(message);  // member names in it may hold invalid UTF-8
    throw ParseFailure();
  }
  // At the value just read, or at the member name just read.
  [[noreturn]] void FailAt(const std::string& reason) { Fail(WithPosition(reason, valueEnd_)); }
  [[noreturn]] void FailAtKey(const std::string& reason) { Fail(WithPosition(reason, keyEnd_)); }

  static bool IsContainer(Kind kind) { return kind == Kind::Object || kind == Kind::Array; }

  Frame& Top() { return frames_[depth_ - 1]; }
  void Push(Role role, Kind kind) {
    if (depth_ == frames_.size()) frames_.emplace_back();
    Frame& frame = frames_[depth_++];
    frame.role = role;
    frame.isArray = kind == Kind::Array;
    frame.name = {};
    frame.index = -1;
    frame.slot = Slot::Skip;
    frame.members = 0;
    frame.expectItems = false;
    // An entry is appended as it starts; a failure later discards the whole list anyway.
    if (role == Role::Entry) list_.emplace_back();
  }

  // A value of a kind the rules have no use for: skipped whole.
  void Skip(Kind kind) {
    if (IsContainer(kind)) Push(Role::Skipped, kind);
  }

  // An object (a list, an entry) was expected here.
  void ExpectObject(Kind kind, Role role) {
    switch (kind) {
      case Kind::Object: Push(role, kind); return;
      case Kind::Null: return;
      case Kind::Array: Fail(kArrayForObject);
      default: Fail(kPrimitiveForObject);
    }
  }

  void OnValue(Kind kind) {
    if (depth_ == 0) {
      if (kind == Kind::Object) return Push(Role::RootObject, kind);
      Fail(kind == Kind::Array ? kRootArray : kNotAnObject);
    }
    Frame& top = Top();
    if (top.isArray) ++top.index;
    switch (top.role) {
      case Role::Skipped: return Skip(kind);
      case Role::RootObject:
        if (top.slot == Slot::ServerList) return ExpectObject(kind, Role::ListObject);
        return Skip(kind);
      case Role::ListObject: return OnListMember(top, kind);
      case Role::FCountObject:
        if (kind == Kind::Number) {
          // Any whole number will do, however long: its value is never used.
          if (number_.find_first_of(".eE") == std::string_view::npos) return;
          if (IsTooBigForDouble(number_)) {
            Fail(GrammarFailure(rapidjson::kParseErrorNumberTooBig, OffsetInText(number_.data())));
          }
        }
        FailAt("\"FCount\" must hold a whole number");
      case Role::Entries: return ExpectObject(kind, Role::Entry);
      case Role::Entry: return OnEntryMember(top, kind);
    }
  }

  void OnListMember(Frame& list, Kind kind) {
    if (list.slot == Slot::FItems) {
      if (kind != Kind::Array) FailAt("\"FItems\" must hold an array of entries");
      return Push(Role::Entries, kind);
    }
    // "FListHelper": the entries themselves, or the older {"FCount": n} followed by "FItems".
    if (kind == Kind::Array) {
      list_.clear();
      return Push(Role::Entries, kind);
    }
    if (kind == Kind::Object) {
      list_.clear();
      return Push(Role::FCountObject, kind);
    }
    FailAt("\"FListHelper\" must hold an array of entries or an object with \"FCount\"");
  }

  void OnEntryMember(Frame& entry, Kind kind) {
    if (entry.slot != Slot::EntryField) return Skip(kind);
    switch (kind) {
      case Kind::String: {
        // Only the text that is kept needs its invalid UTF-8 repaired. A new string
        // of its own size: assigning would first grow the empty one by its own rule.
        std::string& field = list_.back().*entry.field;
        if (ValidUtf8Prefix(string_) == string_.size()) field = std::string(string_);
        else field = SanitizeUtf8(string_);
        return;
      }
      case Kind::Null: return;
      case Kind::Object: FailAt("Error reading string. Unexpected token: StartObject");
      case Kind::Array: FailAt("Error reading string. Unexpected token: StartArray");
      default: Fail(kFieldNotText);
    }
  }

  void OnKey(std::string_view name) {
    Frame& top = Top();
    top.name = name;
    top.slot = Slot::Skip;
    switch (top.role) {
      case Role::RootObject:
        if (EqualsIgnoringAsciiCase(name, "ServerList")) top.slot = Slot::ServerList;
        return;
      case Role::ListObject:
        if (top.expectItems) {
          if (!EqualsIgnoringAsciiCase(name, "FItems")) FailAtKey("\"FCount\" must be followed by \"FItems\"");
          top.expectItems = false;
          top.slot = Slot::FItems;
        } else if (EqualsIgnoringAsciiCase(name, "FListHelper")) {
          top.slot = Slot::FListHelper;
        } else {
          FailAtKey("Unexpected member '" + std::string(name) + "' in the server list");
        }
        return;
      case Role::FCountObject:
        if (++top.members > 1 || !EqualsIgnoringAsciiCase(name, "FCount")) {
          FailAtKey("\"FListHelper\" must hold only \"FCount\"");
        }
        top.slot = Slot::FCount;
        return;
      case Role::Entry:
        for (const auto& [fieldName, field] : kFields) {
          if (EqualsIgnoringAsciiCase(name, fieldName)) {
            top.slot = Slot::EntryField;
            top.field = field;
            return;
          }
        }
        return;
      default: return;
    }
  }

  void OnEnd() {
    valueEnd_ = stream_->Tell() + 1;  // the closing brace, not taken yet
    const Frame& done = frames_[--depth_];
    switch (done.role) {
      case Role::FCountObject:
        if (done.members != 1) FailAt("\"FListHelper\" must hold only \"FCount\"");
        Top().expectItems = true;
        return;
      case Role::ListObject:
        if (done.expectItems) FailAt("\"FCount\" must be followed by \"FItems\"");
        return;
      default: return;
    }
  }

  std::string GrammarMessage(const rapidjson::ParseResult& result) const {
    if (result.Code() == rapidjson::kParseErrorDocumentEmpty) return kNotAnObject;
    if (depth_ > 0 && TextEndedAt(result)) {
      return frames_[depth_ - 1].isArray ? "Unexpected end when deserializing array"
                                         : "Unexpected end when deserializing object";
    }
    return GrammarFailure(result.Code(), result.Offset());
  }

  // Whether the reader stopped because the text ran out: at its end, or inside an
  // escape of an unfinished string (an unfinished string's missing quotation mark is
  // reported at the end itself).
  bool TextEndedAt(const rapidjson::ParseResult& result) const {
    if (result.Offset() >= text_.size()) return true;
    const bool escapeFault = result.Code() == rapidjson::kParseErrorStringEscapeInvalid ||
                             result.Code() == rapidjson::kParseErrorStringUnicodeEscapeInvalidHex;
    return escapeFault && IsEscapeCutShort(text_.substr(result.Offset()));
  }

  // RapidJSON's reason, placed at the character where it stopped.
  std::string GrammarFailure(rapidjson::ParseErrorCode code, std::size_t offset) const {
    return WithPosition(rapidjson::GetParseError_En(code), offset + 1);
  }

  std::size_t OffsetInText(const char* inWork) const { return static_cast<std::size_t>(inWork - work_.data()); }
  // A string is decoded in place from just after its opening quotation mark.
  std::size_t OpeningQuoteOf(const char* decoded) const { return OffsetInText(decoded) - 1; }

  // "<reason>. Path '<path>', line L, position P": P counts the characters of the
  // line up to and including the last one read (end is the offset just past it).
  std::string WithPosition(std::string reason, std::size_t end) const {
    reason = std::string(TrimControl(reason));
    if (reason.empty() || reason.back() != '.') reason += '.';
    std::size_t line = 1, lineStart = 0;
    const std::size_t offset = std::min(end, text_.size());
    for (std::size_t i = 0; i + 1 < offset; ++i) {
      if (text_[i] == '\n') {
        ++line;
        lineStart = i + 1;
      }
    }
    // Characters, not bytes; a byte of invalid UTF-8 reads as one character.
    const std::size_t position = Utf8ToUtf16(SanitizeUtf8(text_.substr(lineStart, offset - lineStart))).size();
    return reason + " Path '" + Path() + "', line " + std::to_string(line) + ", position " + std::to_string(position);
  }

  std::string Path() const {
    std::string path;
    for (std::size_t i = 0; i < depth_; ++i) {
      const Frame& f = frames_[i];
      if (f.isArray) {
        if (f.index >= 0) path += "[" + std::to_string(f.index) + "]";
      } else if (!f.name.empty()) {
        if (!path.empty()) path += '.';
        path += f.name;
      }
    }
    return path;
  }

  std::string_view text_;
  std::string work_;  // NUL-terminated, as the in-place reader needs
  std::vector<TBoxConfig>& list_;
  DocumentStream* stream_ = nullptr;
  std::vector<Frame> frames_;
  std::size_t depth_ = 0;
  std::string_view number_, string_;
  std::size_t valueEnd_ = 0, keyEnd_ = 0;
  std::string failure_;
};

// Every entry has its own "{": a cheap count spares the list its growth copies.
// The cap keeps a text of many tiny objects from reserving far more than it holds.
std::size_t EntriesToReserve(std::string_view text) {
  std::size_t braces = 0;
  for (std::size_t at = text.find('{'); at != std::string_view::npos; at = text.find('{', at + 1)) ++braces;
  return std::min(braces, text.size() / 64);
}

}  // namespace
}  // namespace tandrel

namespace rapidjson {

// A surrogate pair is taken whole and reads as its one character; a lone surrogate
// reads as U+FFFD. What this returns is never a surrogate, so RapidJSON looks for no
// second half of its own. Never more is written than was read, as in-place needs.
template <>
template <>
unsigned Reader::ParseHex4<tandrel::DocumentStream>(tandrel::DocumentStream& is, size_t escapeOffset) {
  const std::optional<unsigned> unit = tandrel::Hex4(is.src_);
  if (!unit) {
    SetParseError(kParseErrorStringUnicodeEscapeInvalidHex, escapeOffset);
    return 0;
  }
  is.src_ += 4;
  if (*unit < 0xD800 || *unit > 0xDFFF) return *unit;
  if (*unit <= 0xDBFF && is.src_[0] == '\\' && is.src_[1] == 'u') {
    const std::optional<unsigned> low = tandrel::Hex4(is.src_ + 2);
    if (low && *low >= 0xDC00 && *low <= 0xDFFF) {
      is.src_ += 6;
      return 0x10000 + ((*unit - 0xD800) << 10) + (*low - 0xDC00);
    }
  }
  return 0xFFFD;
}

// The run is moved back over what escapes before it saved, or stays where it is.
template <>
template <>
void Reader::ScanCopyUnescapedString<tandrel::DocumentStream, tandrel::DocumentStream>(tandrel::DocumentStream& is,
                                                                                       tandrel::DocumentStream&) {
  char* const end = const_cast<char*>(tandrel::PlainRunEnd(is.src_, is.limit_));
  const auto length = static_cast<size_t>(end - is.src_);
  if (is.dst_ != is.src_) std::memmove(is.dst_, is.src_, length);
  is.dst_ += length;
  is.src_ = end;
}

// RFC 8259's grammar, and the number's text to the handler; no value is computed,
// so no range can overflow. Faults are reported with RapidJSON's codes and offsets.
template <>
template <>
void Reader::ParseNumber<tandrel::kParseFlags, tandrel::DocumentStream, tandrel::DocumentReader>(
    tandrel::DocumentStream& s, tandrel::DocumentReader& handler) {
  const size_t start = s.Tell();
  const char* const text = s.src_;
  const auto takeDigits = [&s] {
    const size_t before = s.Tell();
    while (s.Peek() >= '0' && s.Peek() <= '9') s.Take();
    return s.Tell() > before;
  };
  Consume(s, '-');
  if (!Consume(s, '0') && !takeDigits()) {
    SetParseError(kParseErrorValueInvalid, s.Tell());
    return;
  }
  if (Consume(s, '.') && !takeDigits()) {
    SetParseError(kParseErrorNumberMissFraction, s.Tell());
    return;
  }
  if (Consume(s, 'e') || Consume(s, 'E')) {
    if (!Consume(s, '+')) Consume(s, '-');
    if (!takeDigits()) {
      SetParseError(kParseErrorNumberMissExponent, s.Tell());
      return;
    }
  }
  if (!handler.RawNumber(text, static_cast<SizeType>(s.Tell() - start), false)) {
    SetParseError(kParseErrorTermination, start);
  }
}

}  // namespace rapidjson

namespace tandrel {

TConfig::TConfig(std::string_view text) {
  FServerList.reserve(EntriesToReserve(text));
  DocumentReader(text, FServerList).Read();
}

}  // namespace tandrel
