// Data-file base: buffered line reading, declared parameters, columns, unit conversion of x, and the
// FileType registry.
#include "zqDatafile.h"

#include "zqConvert.h"
#include "zqLineSeries.h"
#include "zqTextCompare.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>

namespace zq_datafile_detail {

// A line longer than TzqDatafile::MaxLineLength: the reader stops there instead of growing its buffer.
struct LineTooLong {};

// Serves the lines of a file from one buffer that is refilled in large blocks and grows only for a line
// longer than itself, up to the longest line allowed. Lines end at LF, CR LF or a lone CR. A line view
// stays valid until the next call of next().
class LineReader {
public:
  using Progress = std::function<void(uint64_t, uint64_t)>;

  LineReader(const std::string& path, Progress progress)
      : path_(path), buf_(kBlock), progress_(std::move(progress)) {
    f_ = std::fopen(path.c_str(), "rb");
    if (!f_) throw std::runtime_error("Cannot open file \"" + path + "\": " + std::strerror(errno));
    if (progress_) {
      std::error_code ec;
      const auto size = std::filesystem::file_size(path, ec);
      total_ = ec ? 0 : static_cast<uint64_t>(size);
      progress_(0, total_);
    }
  }
  ~LineReader() { std::fclose(f_); }
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // Throws LineTooLong when no line ending comes within MaxLineLength bytes.
  bool next(std::string_view& line) {
    for (;;) {
      if (lf_after_cr_ && begin_ < end_) skip_lf_after_cr();
      const char* base = buf_.data();
      const std::size_t pos = std::min(next_of('\n', lf_), next_of('\r', cr_));
      if (pos - begin_ > TzqDatafile::MaxLineLength) throw LineTooLong{};
      if (pos < end_) {
        line = std::string_view(base + begin_, pos - begin_);
        begin_ = scanned_ = pos + 1;
        if (base[pos] == '\r') lf_after_cr_ = true;
        return true;
      }
      scanned_ = end_;
      if (!fill()) {
        if (begin_ == end_) return false;
        line = std::string_view(buf_.data() + begin_, end_ - begin_); // last line without a line ending
        begin_ = scanned_ = end_;
        return true;
      }
    }
  }

  // Does not move the buffer's bytes, so a line view held by the caller stays valid.
  bool at_end() {
    if (lf_after_cr_ && begin_ < end_) skip_lf_after_cr();
    if (begin_ < end_) return false;
    if (eof_) return true;
    int c = std::fgetc(f_);
    if (c == '\n' && lf_after_cr_) {
      lf_after_cr_ = false;
      ++bytes_read_;
      c = std::fgetc(f_);
    }
    if (c == EOF) {
      check_error();
      eof_ = true;
      return true;
    }
    std::ungetc(c, f_);
    return false;
  }

private:
  static constexpr std::size_t kBlock = 256 * 1024;

  // Position of the next c at or after scanned_, or end_ when there is none yet. cache remembers the
  // last answer (no c lies between scanned_ and it), so a file that uses only one of the two endings is
  // not searched for the other again at every line.
  std::size_t next_of(char c, std::size_t& cache) const {
    if (cache < scanned_) cache = scanned_;
    if (cache < end_ && buf_[cache] != c) {
      const void* found = std::memchr(buf_.data() + cache, c, end_ - cache);
      cache = found ? static_cast<std::size_t>(static_cast<const char*>(found) - buf_.data()) : end_;
    }
    return std::min(cache, end_);
  }

  // The LF of a CR LF pair whose CR ended the previous line.
  void skip_lf_after_cr() {
    if (buf_[begin_] == '\n') scanned_ = ++begin_;
    lf_after_cr_ = false;
  }

  void check_error() {
    if (std::ferror(f_)) throw std::runtime_error("Cannot read file \"" + path_ + "\"");
  }

  // Moves the unread rest to the front, grows the buffer when the rest fills it, and reads more.
  bool fill() {
    if (eof_) return false;
    if (begin_ > 0) {
      std::memmove(buf_.data(), buf_.data() + begin_, end_ - begin_);
      end_ -= begin_;
      scanned_ -= begin_;
      lf_ = lf_ > begin_ ? lf_ - begin_ : 0;
      cr_ = cr_ > begin_ ? cr_ - begin_ : 0;
      begin_ = 0;
    }
    if (end_ == buf_.size()) buf_.resize(buf_.size() * 2);
    const std::size_t n = std::fread(buf_.data() + end_, 1, buf_.size() - end_, f_);
    if (n == 0) {
      check_error();
      eof_ = true;
      return false;
    }
    end_ += n;
    bytes_read_ += n;
    if (progress_ && bytes_read_ - reported_ >= TzqDatafile::ReadProgressStep) {
      reported_ = bytes_read_;
      progress_(bytes_read_, std::max(total_, bytes_read_));
    }
    return true;
  }

  std::string path_;
  std::FILE* f_ = nullptr;
  std::vector<char> buf_;
  std::size_t begin_ = 0;    // start of the unread bytes
  std::size_t end_ = 0;      // end of the bytes read so far
  std::size_t scanned_ = 0;  // bytes before this hold no line ending after begin_
  std::size_t lf_ = 0;       // next LF at or after scanned_, or where the search for one stopped
  std::size_t cr_ = 0;       // the same for CR
  bool lf_after_cr_ = false; // the last line ended at a CR: an LF right after it belongs to that ending
  bool eof_ = false;
  Progress progress_;
  uint64_t total_ = 0;      // file size when reading began
  uint64_t bytes_read_ = 0; // bytes read from the file so far
  uint64_t reported_ = 0;   // bytes_read_ at the last progress call
};

} // namespace zq_datafile_detail

TzqDatafile::TzqDatafile() = default;
TzqDatafile::~TzqDatafile() = default;

std::string NotAReadableFileReason(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISREG(st.st_mode)) return {};
    if (S_ISDIR(st.st_mode)) return "is a folder, not a file";
    if (S_ISFIFO(st.st_mode)) return "is a named pipe (FIFO), not a file: reading it could wait without end";
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "is a device, not a file of lines";
    if (S_ISSOCK(st.st_mode)) return "is a socket, not a file";
    return "is not a regular file";
  }
  const int error = errno;
  if (error == ELOOP) return "is a link in a loop of symbolic links that never reaches a file";
  struct stat link;
  if (error == ENOENT && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
    return "is a link to a file that does not exist";
  if (error == ENOENT) return "does not exist";
  return std::string("cannot be reached: ") + std::strerror(error);
}

void TzqDatafile::LoadFromFile(const std::string& filename) {
  if (!filename.empty()) Filename = filename;
  if (Filename.empty()) return;
  // A missing file is skipped (the loader says so); anything else that is no file is an error, before
  // it is opened: a FIFO would block, a device never ends.
  struct stat st;
  if (::stat(Filename.c_str(), &st) != 0 && errno == ENOENT) return; // missing, or a link to nothing
  const std::string why = NotAReadableFileReason(Filename);
  if (!why.empty()) throw std::runtime_error("Cannot read \"" + Filename + "\": it " + why);

  file_ = std::make_unique<zq_datafile_detail::LineReader>(Filename, OnReadProgress);
  lines_read_ = 0;
  struct CloseFile {
    std::unique_ptr<zq_datafile_detail::LineReader>& f;
    ~CloseFile() { f.reset(); }
  } close_file{file_};
  ReadAllLines();
}

void TzqDatafile::ReadAllLines() {
  if (!file_) return;
  std::string_view line = ReadFirstDataLine();
  while (!Eof()) {
    ProcessLine(line);
    if (!ReadLine(line)) line = {};
  }
  ProcessLine(line);
  FinishReading();
}

bool TzqDatafile::ReadLine(std::string_view& line) {
  if (!file_) return false;
  try {
    if (!file_->next(line)) return false;
  } catch (const zq_datafile_detail::LineTooLong&) {
    throw std::runtime_error("Line " + std::to_string(lines_read_ + 1) + " of \"" + Filename +
                             "\" runs on for more than " + std::to_string(MaxLineLength) +
                             " bytes without a line break: this is not a text file of lines, and reading "
                             "stops here");
  }
  ++lines_read_;
  return true;
}

bool TzqDatafile::Eof() {
  return !file_ || file_->at_end();
}

std::string_view TzqDatafile::ReadFirstDataLine() {
  std::string_view line;
  std::string_view last;
  while (ReadLine(line)) {
    last = line;
    if (line.empty() || (line.front() != '>' && line.front() != '%')) break;
  }
  return last;
}

void TzqDatafile::ProcessLine(std::string_view) {}

void TzqDatafile::PlotSeries(TLineSeries& series, const std::string& seriesType, const std::string& xType) {
  TzqSeriesBatch batch(series);
  FillSeries(series, seriesType, xType);
}

void TzqDatafile::FillSeries(TLineSeries& series, const std::string& seriesType, const std::string& xType) {
  SeriesType = seriesType;
  XType = xType;
  Series = &series;
  series.Clear();
  series.SetXOrderNone();
}

void TzqDatafile::AddParameter(TzqParameterTarget target, const std::string& kind, const std::string& key,
                               const std::string& defaultText, double defaultNumber,
                               const std::string& options) {
  const bool matches = (zqSameText(kind, "string") && std::holds_alternative<std::string*>(target)) ||
                       (zqSameText(kind, "Integer") && std::holds_alternative<int32_t*>(target)) ||
                       (zqSameText(kind, "real") && std::holds_alternative<double*>(target));
  if (!matches)
    throw std::invalid_argument("Parameter \"" + key + "\": kind \"" + kind + "\" does not fit its member");
  if (std::visit([](auto* p) { return p == nullptr; }, target))
    throw std::invalid_argument("Parameter \"" + key + "\" has no member");
  Parameters.push_back({target, kind, key, defaultText, defaultNumber, options});
}

const TzqDatafileParameter* TzqDatafile::ParameterAt(int32_t index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= Parameters.size()) return nullptr;
  return &Parameters[static_cast<std::size_t>(index)];
}

int32_t TzqDatafile::ColumnIndex(std::string_view name) const {
  for (const TzqColumnName& c : ColumnNames)
    if (zqSameText(c.Name, name)) return c.Column;
  return -1;
}

void TzqDatafile::SetXUnits(const std::string& unitName) {
  XConversion = ConversionCode(XSourceUnits, unitName);
}

double TzqDatafile::ConvertX(double x) const {
  return ConvertValue(XConversion, x);
}

std::string UnquoteParameterText(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
    text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
    text.remove_suffix(1);
  if (text.empty() || text.front() != '"' || text.back() != '"') return std::string(text);
  text = text.size() < 2 ? std::string_view() : text.substr(1, text.size() - 2);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '"' && i + 1 < text.size() && text[i + 1] == '"') ++i;
  }
  return out;
}

std::string PrintableBytes(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b == '\\') {
      out += "\\\\";
    } else if (b >= 0x20 && b <= 0x7E) {
      out += c;
    } else {
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
    }
  }
  return out;
}

TzqSeriesBatch::TzqSeriesBatch(TLineSeries& series) : series_(series) {
  series_.BeginUpdate();
}
TzqSeriesBatch::~TzqSeriesBatch() {
  series_.EndUpdate();
}

void TzqDatafile_TypeList::RegisterType(const std::string& name, TzqDatafileClass cls) {
  entries_.push_back({name, std::move(cls)});
}

std::unique_ptr<TzqDatafile> TzqDatafile_TypeList::CreateByType(std::string_view name) const {
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
    if (zqSameText(it->Name, name)) return it->Class ? it->Class() : nullptr;
  return nullptr;
}

TzqDatafile_TypeList& DatafileTypes() {
  static TzqDatafile_TypeList registry;
  return registry;
}
