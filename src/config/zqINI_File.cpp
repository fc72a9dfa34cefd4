// The INI store: parsing, the sorted case-insensitive section index, typed reads, start-up loading and the
// three writers. Every comparison treats text as bytes; only ASCII letters fold case.
#include "zqINI_File.h"

#include "zqPlatform.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <limits>
#include <sstream>
#include <unistd.h>

namespace {

bool is_blank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

char ascii_upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool same_text(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (ascii_upper(a[i]) != ascii_upper(b[i])) return false;
  return true;
}

// 0-based position of sought in text from 0-based start, or npos.
std::size_t find_text(const std::string& text, const std::string& sought, std::size_t start,
                      bool caseSensitive) {
  if (sought.empty() || start > text.size()) return std::string::npos;
  if (caseSensitive) return text.find(sought, start);
  return zqUpperCase(text).find(zqUpperCase(sought), start);
}

// The text after a UTF-8 byte-order mark, or the whole text.
std::string_view without_bom(std::string_view text) {
  return text.rfind("\xEF\xBB\xBF", 0) == 0 ? text.substr(3) : text;
}

bool is_comment_start(char c) {
  return c == ' ' || c == '/' || c == ';' || c == ':' || c == '\'';
}

// A section header's name: the text between the first and the last character of the trimmed line.
std::string header_name(const std::string& trimmed) {
  return trimmed.size() < 2 ? std::string() : trimmed.substr(1, trimmed.size() - 2);
}

// The value a save writes for a record: a value forced from the command line is not made permanent.
const std::string& value_to_save(const T_zq_ini_Record& record) {
  if (!record.CmdLineValue.empty() && record.Value == record.CmdLineValue) return record.ParsedValue;
  return record.Value;
}

// The record's value as its line holds it.
std::string saved_text(const T_zq_ini_Record& record) {
  return zqIniValueText(value_to_save(record));
}

// Why a key or section name cannot be written so that it reads back as itself; empty when it can.
std::string name_problem(std::string_view name, bool isKey) {
  for (char c : name)
    if (c == '\n' || c == '\r' || c == '\0') return "holds a line break or a NUL byte";
  if (isKey) {
    if (name.empty()) return "is empty";
    if (name.find('=') != std::string_view::npos) return "holds an equals sign";
    if (is_blank(name.front()) || is_blank(name.back())) return "begins or ends with a blank";
    if (is_comment_start(name.front()) || name.front() == '[') return "begins like a comment or a section";
  }
  return {};
}

// ---- command-line switches

// A switch token: "/", "-" or "--", then a name of letters, digits, "_", "?" or "-" (not first), then
// optionally "=" and a value. Tokens such as "/home/me/a.ini" or "-5" are values, not switches.
bool split_switch(const std::string& token, std::string& name, std::string& value, bool& hasValue) {
  std::size_t start;
  if (token.rfind("--", 0) == 0)
    start = 2;
  else if (!token.empty() && (token[0] == '-' || token[0] == '/'))
    start = 1;
  else
    return false;
  std::size_t end = token.find('=', start);
  std::string candidate = token.substr(start, end == std::string::npos ? std::string::npos : end - start);
  if (candidate.empty()) return false;
  auto c0 = static_cast<unsigned char>(candidate[0]);
  if (!(std::isalpha(c0) || c0 == '_' || c0 == '?')) return false;
  for (char ch : candidate) {
    auto c = static_cast<unsigned char>(ch);
    if (!(std::isalnum(c) || c == '_' || c == '?' || c == '-')) return false;
  }
  name = candidate;
  hasValue = end != std::string::npos;
  value = hasValue ? token.substr(end + 1) : std::string();
  return true;
}

bool is_switch(const std::string& token) {
  std::string name, value;
  bool hasValue;
  return split_switch(token, name, value, hasValue);
}

bool is_help_switch(const std::string& token) {
  return token == "/?" || token == "-?" || token == "-h" || token == "--help";
}

// Removes one leading "/", "-" or "--".
std::string bare_switch_name(const std::string& name) {
  if (name.rfind("--", 0) == 0) return name.substr(2);
  if (!name.empty() && (name[0] == '/' || name[0] == '-')) return name.substr(1);
  return name;
}

} // namespace

// ---- string helpers

std::string zqTrim(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && is_blank(text[b]))
    ++b;
  while (e > b && is_blank(text[e - 1]))
    --e;
  return std::string(text.substr(b, e - b));
}

std::string zqUpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    c = ascii_upper(c);
  return out;
}

std::string TextBefore(const std::string& text, const std::string& separator, bool caseSensitive) {
  auto pos = find_text(text, separator, 0, caseSensitive);
  return pos == std::string::npos ? std::string() : text.substr(0, pos);
}

std::string TextAfter(const std::string& text, const std::string& separator, bool caseSensitive) {
  auto pos = find_text(text, separator, 0, caseSensitive);
  return pos == std::string::npos ? std::string() : text.substr(pos + separator.size());
}

int PosFrom(const std::string& text, const std::string& sought, int start, bool caseSensitive) {
  if (start < 1) start = 1;
  if (static_cast<std::size_t>(start) > text.size()) return 0;
  auto pos = find_text(text, sought, static_cast<std::size_t>(start - 1), caseSensitive);
  return pos == std::string::npos ? 0 : static_cast<int>(pos + 1);
}

std::string Unquote(const std::string& text) {
  std::string t = zqTrim(text);
  if (!t.empty() && t.front() == '"' && t.back() == '"') {
    // A lone quote both begins and ends the text, so it goes too.
    std::string inner = t.size() >= 2 ? t.substr(1, t.size() - 2) : std::string();
    std::string out;
    for (std::size_t i = 0; i < inner.size(); ++i) {
      out += inner[i];
      if (inner[i] == '"' && i + 1 < inner.size() && inner[i + 1] == '"') ++i;
    }
    t = zqTrim(out);
  }
  return t;
}

std::vector<std::string> SplitByChars(const std::string& text, const std::string& delimiters) {
  std::string upperDelims = zqUpperCase(delimiters);
  std::vector<std::string> parts;
  std::string run;
  for (char c : text) {
    if (upperDelims.find(ascii_upper(c)) != std::string::npos) {
      if (!run.empty()) parts.push_back(std::move(run));
      run.clear();
    } else {
      run += c;
    }
  }
  if (!run.empty()) parts.push_back(std::move(run));
  return parts;
}

namespace {

// Splits bytes into lines as they arrive, in pieces of any size: CR LF, LF or a lone CR ends a line, and a
// final line break does not start another line. A line longer than maxLine throws, so reading keeps
// memory bounded whatever the input holds.
class LineSplitter {
public:
  explicit LineSplitter(std::size_t maxLine) : max_(maxLine) {}

  template <class Emit> void Feed(std::string_view bytes, Emit&& emit) {
    while (!bytes.empty()) {
      if (after_cr_) {
        after_cr_ = false;
        if (bytes.front() == '\n') {
          bytes.remove_prefix(1);
          continue;
        }
      }
      const std::size_t end = bytes.find_first_of("\r\n");
      const std::string_view part = bytes.substr(0, end);
      if (part.size() > max_ - pending_.size())
        throw EzqFileError("Line " + std::to_string(lines_ + 1) + " runs on for more than " +
                           std::to_string(max_) + " bytes without a line break");
      pending_.append(part);
      if (end == std::string_view::npos) return;
      emit(std::string_view(pending_));
      ++lines_;
      pending_.clear();
      after_cr_ = bytes[end] == '\r';
      bytes.remove_prefix(end + 1);
    }
  }

  template <class Emit> void Finish(Emit&& emit) {
    if (!pending_.empty()) emit(std::string_view(pending_));
    pending_.clear();
  }

private:
  std::size_t max_;
  std::string pending_;
  std::size_t lines_ = 0;
  bool after_cr_ = false; // the last line ended at a CR: an LF right after it belongs to that ending
};

constexpr std::size_t kMaxIniLine = kMaxIniLineBytes;

} // namespace

std::vector<std::string> zqSplitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  LineSplitter split(bytes.size());
  auto keep = [&](std::string_view line) { lines.emplace_back(line); };
  split.Feed(bytes, keep);
  split.Finish(keep);
  return lines;
}

// ---- values in INI text

namespace {

constexpr std::string_view kEscapedStart = "\\\"";

bool needs_escape(std::string_view value) {
  if (value.empty()) return false;
  if (is_blank(value.front()) || is_blank(value.back()) || value.starts_with(kEscapedStart)) return true;
  for (char c : value) {
    const auto u = static_cast<unsigned char>(c);
    if ((u < 32 && c != '\t') || u == 127) return true;
  }
  return false;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

} // namespace

std::string zqIniValueText(std::string_view value) {
  if (!needs_escape(value)) return std::string(value);
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out(kEscapedStart);
  for (char c : value) {
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
    case '\\':
      out += "\\\\";
      break;
    case '"':
      out += "\\\"";
      break;
    case '\n':
      out += "\\n";
      break;
    case '\r':
      out += "\\r";
      break;
    case '\t':
      out += "\\t";
      break;
    default:
      if (u < 32 || u == 127) {
        out += "\\x";
        out += kHex[u >> 4];
        out += kHex[u & 15];
      } else {
        out += c;
      }
    }
  }
  out += '"';
  return out;
}

std::string zqIniValueOf(std::string_view text) {
  if (text.size() < kEscapedStart.size() + 1 || !text.starts_with(kEscapedStart) || text.back() != '"')
    return std::string(text);
  const std::string_view body = text.substr(kEscapedStart.size(), text.size() - kEscapedStart.size() - 1);
  std::string out;
  for (std::size_t i = 0; i < body.size(); ++i) {
    const char c = body[i];
    // A bare quote or an unknown escape: not a text this writer made, so it stands as it is.
    if (c == '"') return std::string(text);
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++i == body.size()) return std::string(text);
    switch (body[i]) {
    case '\\':
      out += '\\';
      break;
    case '"':
      out += '"';
      break;
    case 'n':
      out += '\n';
      break;
    case 'r':
      out += '\r';
      break;
    case 't':
      out += '\t';
      break;
    case 'x': {
      const int hi = i + 1 < body.size() ? hex_digit(body[i + 1]) : -1;
      const int lo = i + 2 < body.size() ? hex_digit(body[i + 2]) : -1;
      if (hi < 0 || lo < 0) return std::string(text);
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
      break;
    }
    default:
      return std::string(text);
    }
  }
  return out;
}

// ---- number text

namespace {
std::optional<std::string>& separator_override() {
  static std::optional<std::string> value;
  return value;
}
} // namespace

void zqOverrideDecimalSeparator(std::optional<std::string> separator) {
  separator_override() = std::move(separator);
}

std::string zqDecimalSeparator() {
  if (separator_override()) return *separator_override();
  const std::lconv* conv = std::localeconv();
  if (!conv || !conv->decimal_point || !*conv->decimal_point) return ".";
  return conv->decimal_point;
}

bool zqTextToReal(std::string_view text, long double& value, std::string_view decimalSeparator) {
  std::string t = zqTrim(text);
  std::string plain; // the same number with "." as separator
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) plain += t[i++];
  int digits = 0;
  auto take_digits = [&] {
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
      plain += t[i++];
      ++digits;
    }
  };
  take_digits();
  if (!decimalSeparator.empty() && t.compare(i, decimalSeparator.size(), decimalSeparator) == 0) {
    plain += '.';
    i += decimalSeparator.size();
    take_digits();
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    plain += 'e';
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) plain += t[i++];
    int expDigits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
      plain += t[i++];
      ++expDigits;
    }
    if (expDigits == 0) return false;
  }
  if (i != t.size()) return false;
  const char* first = plain.data();
  if (*first == '+') ++first; // from_chars takes no plus sign
  long double parsed = 0;
  auto [end, ec] = std::from_chars(first, plain.data() + plain.size(), parsed);
  if (ec != std::errc() || end != plain.data() + plain.size() || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

bool zqTextToReal(std::string_view text, long double& value) {
  return zqTextToReal(text, value, zqDecimalSeparator());
}

bool zqIniTextToReal(std::string_view text, long double& value) {
  if (zqTextToReal(text, value, ".")) return true;
  const std::string local = zqDecimalSeparator();
  const bool usable = local.size() == 1 && local != "." &&
                      !std::isalnum(static_cast<unsigned char>(local[0])) && local[0] != '+' &&
                      local[0] != '-' && !is_blank(local[0]);
  return usable && zqTextToReal(text, value, local);
}

std::string zqFloatToText(long double value, std::string_view decimalSeparator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  // 15 significant digits, then the shorter of fixed and scientific notation as the general format has it.
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
  std::string sci(buf, res.ptr);
  bool negative = sci[0] == '-';
  if (negative) sci.erase(0, 1);
  auto epos = sci.find('e');
  int exponent = std::stoi(sci.substr(epos + 1));
  std::string digits = sci.substr(0, 1) + sci.substr(2, epos - 2);
  while (digits.size() > 1 && digits.back() == '0')
    digits.pop_back();
  std::string out = negative ? "-" : "";
  if (exponent < -5 || exponent >= 15) {
    out += digits.substr(0, 1);
    if (digits.size() > 1) out += std::string(decimalSeparator) + digits.substr(1);
    out += "E" + std::to_string(exponent);
  } else if (exponent < 0) {
    out += "0" + std::string(decimalSeparator) + std::string(static_cast<std::size_t>(-exponent - 1), '0') +
           digits;
  } else {
    auto whole = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      out += digits + std::string(whole - digits.size(), '0');
    } else {
      out += digits.substr(0, whole) + std::string(decimalSeparator) + digits.substr(whole);
    }
  }
  return out;
}

std::string zqFloatToText(long double value) {
  return zqFloatToText(value, zqDecimalSeparator());
}

// ---- TzqINI_File: creation and loading

TzqINI_File::TzqINI_File() {
  Filter = "*.ini|*.ini";
  OpenOnLoad = true;
  ReadHandler = [this](TzqCustomFile_IO&, std::istream& in) { LoadFromText(in); };
  SaveHandler = [this](TzqCustomFile_IO&, const std::string& name) { SaveToFile(name); };
  try {
    std::string exe = zq::platform().ExecutablePath();
    if (!exe.empty()) SetFilename(zqChangeFileExt(zqExtractFileName(exe), ".ini"));
    UserFolder = zq::platform().UserConfigFolder();
  } catch (const std::logic_error&) {
    // No platform installed: no default file name.
  }
  CmdLineHelp = {"Command line options:", "   /ini filename\t- Specifies the ini file to use",
                 "   /?           \t- Gets this help"};
}

TzqINI_File::~TzqINI_File() = default;

void TzqINI_File::Loaded() {
  if (!Ignore_CmdLine) ParseCommandLine();
  // An installed copy lives in a folder its users cannot write: its settings are the user's own.
  if (!UserFolder.empty() && GetCmdLineValue("ini").empty() && ::access(Directory().c_str(), W_OK) != 0) {
    std::error_code ec;
    std::filesystem::create_directories(UserFolder, ec);
    if (!ec) SetFilename((std::filesystem::path(UserFolder) / Filename()).string());
  }
  if (!INI_Default.empty()) {
    loadingDefaults_ = true;
    try {
      LoadFromLines(INI_Default);
    } catch (...) {
      loadingDefaults_ = false;
      throw;
    }
    loadingDefaults_ = false;
  }
  if (IgnoreNotFound && !zqFileExists(FullFilename())) OpenOnLoad = false;
  TzqCustomFile_IO::Loaded();
  // The defaults alone make a complete configuration, so readers are told even without a file (and a
  // second time after a file was read).
  if (!INI_Default.empty() && !OpenOnLoad) {
    SetModified(false);
    RaiseReadComplete();
  }
}

void TzqINI_File::LoadFromLines(const std::vector<std::string>& lines) {
  currentSection_ = StartOfFile;
  for (const auto& line : lines)
    ParseLine(line);
}

void TzqINI_File::LoadFromText(std::istream& in) {
  // Read in pieces and parsed line by line, so a file without line breaks cannot take all memory.
  currentSection_ = StartOfFile;
  LineSplitter split(kMaxIniLine);
  bool first = true;
  auto parse = [&](std::string_view line) {
    if (first) line = without_bom(line);
    first = false;
    ParseLine(std::string(line));
  };
  std::vector<char> piece(64 * 1024);
  try {
    for (;;) {
      in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
      const auto n = in.gcount();
      if (n <= 0) break;
      split.Feed(std::string_view(piece.data(), static_cast<std::size_t>(n)), parse);
      if (!in) break;
    }
    split.Finish(parse);
  } catch (const EzqFileError& e) {
    throw EzqFileError(std::string(e.what()) + " in \"" + FullFilename() + "\": not an INI file");
  }
}

void TzqINI_File::ParseLine(const std::string& line) {
  std::string t = zqTrim(line);
  if (t.empty() || is_comment_start(t[0])) return;
  if (t[0] == '[') {
    currentSection_ = header_name(t);
    return;
  }
  auto eq = t.find('=');
  if (eq == std::string::npos) return;
  StoreParsed(currentSection_, zqTrim(std::string_view(t).substr(0, eq)),
              zqIniValueOf(zqTrim(std::string_view(t).substr(eq + 1))));
}

void TzqINI_File::StoreParsed(const std::string& section, const std::string& key, const std::string& value) {
  T_zq_ini_Record* record = FindKey(section, key);
  if (!record) {
    record = &AddKey(section, key);
    if (loadingDefaults_) record->DefaultValue = value;
  }
  record->ParsedValue = value;
  if (record->CmdLineValue.empty()) record->Value = value;
  currentSection_ = section;
}

// ---- lookups

const TzqINI_File::IndexEntry* TzqINI_File::FindEntry(const std::string& name) const {
  auto it = index_.find(zqUpperCase(name));
  return it == index_.end() ? nullptr : &it->second;
}

const T_zq_ini_Section* TzqINI_File::FindSectionConst(const std::string& name) const {
  const IndexEntry* entry = FindEntry(name);
  return entry ? entry->section.get() : nullptr;
}

T_zq_ini_Section* TzqINI_File::FindSection(const std::string& name) {
  auto* section = const_cast<T_zq_ini_Section*>(FindSectionConst(name));
  if (section) {
    currentSection_ = name;
    currentList_ = section;
  }
  return section;
}

const T_zq_ini_Record* TzqINI_File::FindRecord(const std::string& section, const std::string& key) const {
  const IndexEntry* entry = FindEntry(section);
  if (!entry) return nullptr;
  auto it = entry->keys.find(zqUpperCase(key));
  return it == entry->keys.end() ? nullptr : it->second;
}

bool TzqINI_File::HasSection(const std::string& section) const {
  return FindEntry(section) != nullptr;
}

T_zq_ini_Record* TzqINI_File::FindKey(const std::string& section, const std::string& key) {
  if (!FindSection(section)) return nullptr;
  return const_cast<T_zq_ini_Record*>(FindRecord(section, key));
}

T_zq_ini_Record& TzqINI_File::AddKey(const std::string& section, const std::string& key) {
  auto [it, created] = index_.try_emplace(zqUpperCase(section));
  IndexEntry& entry = it->second;
  if (created) {
    entry.section = std::make_unique<T_zq_ini_Section>();
    entry.section->Name = section;
    byPosition_.clear();
  }
  currentSection_ = section;
  currentList_ = entry.section.get();
  auto& records = entry.section->Records;
  records.push_back(std::make_unique<T_zq_ini_Record>());
  records.back()->Key = key;
  // The first record of a key is the one lookups find.
  entry.keys.try_emplace(zqUpperCase(key), records.back().get());
  return *records.back();
}

// ---- reading

std::string TzqINI_File::ReadString(const std::string& section, const std::string& key) {
  if (T_zq_ini_Record* r = FindKey(section, key)) return r->Value;
  AddKey(section, key);
  return std::string();
}

std::string TzqINI_File::ReadString(const std::string& section, const std::string& key,
                                    const std::string& def) {
  if (T_zq_ini_Record* r = FindKey(section, key)) {
    r->DefaultValue = def;
    return r->Value;
  }
  T_zq_ini_Record& r = AddKey(section, key);
  r.Value = def;
  r.DefaultValue = def;
  return def;
}

namespace {
// A bad number, and a number that does not fit 32 bits, read as 0.
int32_t text_to_int32(const std::string& text) {
  long double v = 0;
  if (!zqIniTextToReal(text, v)) return 0;
  v = std::trunc(v);
  if (v < static_cast<long double>(std::numeric_limits<int32_t>::min()) ||
      v > static_cast<long double>(std::numeric_limits<int32_t>::max()))
    return 0;
  return static_cast<int32_t>(v);
}

long double text_to_real(const std::string& text) {
  long double v = 0;
  return zqIniTextToReal(text, v) ? v : 0.0L;
}
} // namespace

int32_t TzqINI_File::ReadInteger(const std::string& section, const std::string& key) {
  return text_to_int32(ReadString(section, key));
}

int32_t TzqINI_File::ReadInteger(const std::string& section, const std::string& key, int32_t def) {
  return text_to_int32(ReadString(section, key, std::to_string(def)));
}

long double TzqINI_File::ReadReal(const std::string& section, const std::string& key) {
  return text_to_real(ReadString(section, key));
}

long double TzqINI_File::ReadReal(const std::string& section, const std::string& key, long double def) {
  return text_to_real(ReadString(section, key, zqFloatToText(def, ".")));
}

std::string TzqINI_File::ReadByIndex(int section, int key) {
  if (byPosition_.size() != index_.size()) {
    byPosition_.clear();
    for (const auto& [upper, e] : index_)
      byPosition_.push_back(e.section.get());
  }
  if (section >= 0 && static_cast<std::size_t>(section) < byPosition_.size())
    currentList_ = byPosition_[static_cast<std::size_t>(section)];
  if (!currentList_ || key < 0 || static_cast<std::size_t>(key) >= currentList_->Records.size()) return {};
  return currentList_->Records[static_cast<std::size_t>(key)]->Value;
}

void TzqINI_File::GetSectionNames(std::vector<std::string>& names) {
  names.clear();
  for (const auto& [upper, e] : index_)
    names.push_back(e.section->Name);
}

void TzqINI_File::GetKeyNames(const std::string& section, std::vector<std::string>& names) {
  names.clear();
  if (T_zq_ini_Section* s = FindSection(section))
    for (const auto& r : s->Records)
      names.push_back(r->Key);
}

// ---- command line

void TzqINI_File::ParseCommandLine() {
  ParseCommandLineArgs(zq::platform().Arguments());
}

void TzqINI_File::ParseCommandLineArgs(const std::vector<std::string>& args) {
  cmdLineValues_.clear();
  auto next_is_value = [&](std::size_t i) {
    return i + 1 < args.size() && !is_switch(args[i + 1]) && !is_help_switch(args[i + 1]);
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name, value;
    bool hasValue = false;
    if (is_help_switch(args[i])) {
      name = "?";
    } else if (!split_switch(args[i], name, value, hasValue)) {
      continue; // a stray value belongs to no switch
    }
    if (!hasValue && name != "?" && next_is_value(i)) {
      value = args[++i];
      hasValue = true;
      // "/ini = name" and "/ini =name": the equals sign only separates the switch from its value.
      if (value.rfind('=', 0) == 0) {
        value = zqTrim(std::string_view(value).substr(1));
        if (value.empty() && next_is_value(i)) value = args[++i];
      }
    }
    // Quotes that reach us (from a launcher rather than a shell) keep blanks and are not the value.
    value = hasValue ? Unquote(value) : std::string(NullValue);
    cmdLineValues_.push_back(zqUpperCase(name) + "=" + value);
  }

  std::string ini = GetCmdLineValue("ini");
  if (!ini.empty()) SetFilename(ini);
  if (!GetCmdLineValue("?").empty() || !CmdLineSwitchesValid()) ShowHelp();
  ApplyCmdLineMap();
  if (OnMapCmdLine) OnMapCmdLine(*this);
}

bool TzqINI_File::CmdLineSwitchesValid() const {
  std::string valid = CmdLineParms + ";";
  for (const auto& line : cmdLineValues_) {
    std::string name = line.substr(0, line.find('='));
    if (PosFrom(valid, "/" + name + ";", 1, false) == 0) return false;
  }
  return true;
}

void TzqINI_File::ShowHelp() {
  std::string text;
  for (const auto& line : CmdLineHelp)
    text += line + "\n";
  if (OnCmdLnHelp) OnCmdLnHelp(*this, text);
  if (text.empty()) return;
  // Started from a terminal, the user reads the help there; the message box serves a desktop start.
  std::cout << text << std::flush;
  zq::platform().MessageBox("", text, zq::mbOK, zq::MsgIcon::None);
  OpenOnLoad = false;
  zq::platform().Terminate();
}

std::string TzqINI_File::GetCmdLineValue(const std::string& switchName) const {
  if (switchName.empty()) return {};
  std::string name = bare_switch_name(switchName);
  for (const auto& line : cmdLineValues_) {
    auto eq = line.find('=');
    if (same_text(std::string_view(line).substr(0, eq), name)) return line.substr(eq + 1);
  }
  return {};
}

void TzqINI_File::ApplyCmdLineMap() {
  for (const auto& line : CmdLineMap) {
    std::string t = zqTrim(line);
    if (t.empty()) continue;
    std::string sw = zqTrim(TextBefore(t, "=", false));
    t = zqTrim(TextAfter(t, "=", false));
    std::string section = zqTrim(TextBefore(t, ";", false));
    std::string key = zqTrim(TextAfter(t, ";", false));
    if (sw.empty() || section.empty() || key.empty()) {
      zq::platform().MessageBox("Command Line Map Error",
                                "The following is not a valid CmdLineMap string\n\n" + line, zq::mbOK,
                                zq::MsgIcon::Error);
      continue;
    }
    std::string value = GetCmdLineValue(sw);
    if (value.empty()) continue;
    T_zq_ini_Record* r = FindKey(section, key);
    if (!r) r = &AddKey(section, key);
    r->Value = value;
    r->CmdLineValue = value;
  }
}

// ---- writing

void TzqINI_File::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  T_zq_ini_Record* r = FindKey(section, key);
  if (!r) {
    r = &AddKey(section, key);
    r->Value = value;
    r->Status = "A";
    SetModified(true);
    return;
  }
  if (r->Value == value) return;
  r->Value = value;
  if (!r->CmdLineValue.empty() || (!r->ParsedValue.empty() && value == r->ParsedValue)) {
    r->Status.clear();
  } else {
    // A changed value, whether or not the key came from text, is an unsaved change.
    r->Status = "M";
    SetModified(true);
  }
}

void TzqINI_File::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TzqINI_File::WriteReal(const std::string& section, const std::string& key, long double value) {
  WriteString(section, key, zqFloatToText(value, "."));
}

void TzqINI_File::WriteReal(const std::string& section, const std::string& key, int decimals,
                            long double value) {
  // "%4.*f": fixed point, at least four characters, right-aligned; a point, so it reads back anywhere.
  decimals = std::clamp(decimals, 0, 60);
  std::string text;
  if (!std::isfinite(value)) {
    text = zqFloatToText(value, ".");
  } else {
    char buf[512];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    text = res.ec == std::errc() ? std::string(buf, res.ptr) : zqFloatToText(value, ".");
  }
  if (text.size() < 4) text.insert(0, 4 - text.size(), ' ');
  WriteString(section, key, text);
}

void TzqINI_File::WriteReal(const std::string& section, const std::string& key, int decimals, float value) {
  WriteReal(section, key, decimals, static_cast<long double>(value));
}

void TzqINI_File::CheckWritable(const std::string& section, const T_zq_ini_Record* record,
                                const std::string& line) const {
  // Nothing is written that the next start would read differently or refuse: the whole save stops.
  const std::string where = record ? "[" + zqIniValueText(section) + "] " + zqIniValueText(record->Key)
                                   : "The section [" + zqIniValueText(section) + "]";
  if (const std::string why = name_problem(section, false); !why.empty())
    throw EzqFileError("The section name [" + zqIniValueText(section) + "] " + why +
                       " and cannot be saved; nothing was saved");
  if (record)
    if (const std::string why = name_problem(record->Key, true); !why.empty())
      throw EzqFileError("The key " + where + " " + why + " and cannot be saved; nothing was saved");
  if (line.size() > kMaxIniLine)
    throw EzqFileError(where + " would need a line of " + std::to_string(line.size()) +
                       " bytes, more than the " + std::to_string(kMaxIniLine) +
                       " an INI file may hold; nothing was saved");
}

void TzqINI_File::KeyLines(const T_zq_ini_Section& section, std::vector<std::string>& out) {
  std::size_t width = 0;
  for (const auto& r : section.Records)
    width = std::max(width, r->Key.size());
  CheckWritable(section.Name, nullptr, "[" + section.Name + "]");
  for (const auto& r : section.Records) {
    if (WindowsCompatible)
      out.push_back(r->Key + "=" + saved_text(*r));
    else
      out.push_back(r->Key + std::string(width - r->Key.size(), ' ') + " = " + saved_text(*r));
    CheckWritable(section.Name, r.get(), out.back());
    r->Status = "W";
  }
}

void TzqINI_File::WriteUpdate(std::vector<std::string>& out) {
  std::string section = StartOfFile;
  for (std::size_t i = 0; i < originalLines_.size(); ++i) {
    // A byte-order mark stays in the file but is no part of the first line's text.
    const std::string& original = originalLines_[i];
    const std::string_view bom =
        i == 0 ? std::string_view(original).substr(0, original.size() - without_bom(original).size())
               : std::string_view();
    const std::string line = original.substr(bom.size());
    std::string t = zqTrim(line);
    if (t.empty() || is_comment_start(t[0])) {
      out.push_back(original);
      continue;
    }
    if (t[0] == '[') {
      section = header_name(t);
      out.push_back(original);
      continue;
    }
    auto eq = line.find('=');
    auto* r = eq == std::string::npos
                  ? nullptr
                  : const_cast<T_zq_ini_Record*>(FindRecord(section, zqTrim(line.substr(0, eq))));
    if (!r) {
      out.push_back(original);
      continue;
    }
    r->Status = "W";
    const std::string value = saved_text(*r);
    // A line whose value stays the same keeps every byte, remarks and spacing included.
    if (zqTrim(std::string_view(line).substr(eq + 1)) == value) {
      out.push_back(original);
      continue;
    }
    std::size_t cut = eq + 1;
    while (cut < line.size() && (line[cut] == ' ' || line[cut] == '\t'))
      ++cut;
    out.push_back(std::string(bom) + line.substr(0, cut) + value);
    CheckWritable(section, r, out.back());
  }
  if (AppendChangedKeys) AppendUnwrittenKeys(out);
}

void TzqINI_File::AppendUnwrittenKeys(std::vector<std::string>& out) {
  auto header_at = [&out](std::size_t i) {
    const std::string t = zqTrim(without_bom(out[i]));
    return !t.empty() && t[0] == '[' ? std::optional<std::string>(zqUpperCase(header_name(t))) : std::nullopt;
  };
  for (const auto& [upper, e] : index_) {
    std::vector<std::string> lines;
    for (const auto& r : e.section->Records) {
      // The update writer marked every key it found a line for; what is still added or changed is not
      // in the file yet.
      if (r->Status != "A" && r->Status != "M") continue;
      lines.push_back(r->Key + " = " + saved_text(*r));
      CheckWritable(e.section->Name, r.get(), lines.back());
      r->Status = "W";
    }
    if (lines.empty()) continue;
    // The section's lines: from its first header (or the top of the file) to the next header.
    std::optional<std::size_t> begin;
    if (upper == zqUpperCase(StartOfFile)) {
      begin = 0;
    } else {
      for (std::size_t i = 0; i < out.size() && !begin; ++i)
        if (header_at(i) == upper) begin = i + 1;
    }
    if (!begin) {
      if (!out.empty() && !zqTrim(out.back()).empty()) out.emplace_back();
      out.push_back("[" + e.section->Name + "]");
      out.insert(out.end(), lines.begin(), lines.end());
      continue;
    }
    std::size_t end = *begin;
    while (end < out.size() && !header_at(end))
      ++end;
    // After the section's last line, before the blank lines that part it from the next one.
    while (end > *begin && zqTrim(out[end - 1]).empty())
      --end;
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(end), lines.begin(), lines.end());
  }
}

void TzqINI_File::WriteGenerate(std::vector<std::string>& out) {
  // Keys before the first header belong to "__StartOfFile", so they must come first to read back there.
  const T_zq_ini_Section* start = FindSectionConst(StartOfFile);
  bool first = true;
  if (start) {
    KeyLines(*start, out);
    first = false;
  }
  for (const auto& [upper, e] : index_) {
    if (e.section.get() == start) continue;
    if (!first) out.emplace_back();
    first = false;
    out.push_back("[" + e.section->Name + "]");
    KeyLines(*e.section, out);
  }
}

void TzqINI_File::WriteAddSection(const std::string& section, std::vector<std::string>& out) {
  const std::string header = "[" + section + "]";
  const std::string upperHeader = zqUpperCase(header);
  const T_zq_ini_Section* s = FindSectionConst(section);
  std::size_t n = originalLines_.size(), i = 0;
  while (i < n && zqUpperCase(without_bom(originalLines_[i])) != upperHeader)
    ++i;
  if (i == n) {
    out.insert(out.end(), originalLines_.begin(), originalLines_.end());
    out.emplace_back();
    out.push_back(header);
    if (s) KeyLines(*s, out);
    return;
  }
  out.insert(out.end(), originalLines_.begin(), originalLines_.begin() + static_cast<std::ptrdiff_t>(i) + 1);
  if (s) KeyLines(*s, out);
  std::size_t next = i + 1;
  while (next < n && (originalLines_[next].empty() || originalLines_[next][0] != '['))
    ++next;
  if (next < n) {
    out.emplace_back();
    out.insert(out.end(), originalLines_.begin() + static_cast<std::ptrdiff_t>(next), originalLines_.end());
  }
}

void TzqINI_File::SaveToFile(const std::string& name) {
  const std::string current = FullFilename();
  // The target as SetFilename will resolve it, through links to the file they name; the temporary file
  // lies beside that file so the final rename never crosses file systems and a link stays a link.
  const std::string target = zqResolveLinks(
      zqExtractFilePath(name).empty() ? zqExtractFilePath(current) + zqExtractFileName(name) : name);
  std::string temp = zqChangeFileExt(target, ".zqb");
  if (temp == target) temp += ".zqb";
  SetTempFilename(temp);

  try {
    std::string old;
    if (zqFileExists(current)) old = zqReadFileBytes(current);
    originalLines_ = zqSplitLines(old);
    auto lf = old.find('\n');
    originalEol_ = (lf != std::string::npos && lf > 0 && old[lf - 1] == '\r') ? "\r\n" : "\n";

    std::vector<std::string> out;
    switch (WriteMode) {
    case zqWM_Generate:
      WriteGenerate(out);
      break;
    case zqWM_AddSection:
      WriteAddSection(currentSection_, out);
      break;
    case zqWM_Update:
    default:
      WriteUpdate(out);
      break;
    }
    std::string bytes;
    for (const auto& line : out)
      bytes += line + originalEol_;
    // A leftover (or planted) entry under the temporary name goes; the new file is then created
    // exclusively, so it is never written through a link, and with the permissions of the file it replaces.
    ::unlink(temp.c_str());
    zqWriteNewFileBytes(temp, bytes, zqFilePermissions(target)); // removes itself when it fails
  } catch (const std::exception& e) {
    // Nothing of a failed write may replace the file on disk, even when the handler takes the error.
    if (!DoWriteError(current, e)) throw;
    return;
  }
  SetFilename(name);
  CommitBackup();
  SetModified(false);
  RaiseWriteComplete();
}
