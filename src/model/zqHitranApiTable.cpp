// The header's JSON is parsed with nlohmann::json; only the parts that place fields are read.
#include "zqHitranApiTable.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;
using nlohmann::json;

namespace zqhitranapi {
namespace {

std::string lower(std::string s) {
  for (char& c : s)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string upper(std::string s) {
  for (char& c : s)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool is_regular(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

// The width of a printf format such as "%12.6f", "%-5s" or "%1d"; none without one.
std::optional<std::size_t> format_width(const json& format) {
  if (!format.is_string()) return std::nullopt;
  const std::string f = format.get<std::string>();
  std::size_t i = f.find('%');
  if (i == std::string::npos) return std::nullopt;
  ++i;
  while (i < f.size() && (f[i] == '-' || f[i] == '+' || f[i] == ' ' || f[i] == '0'))
    ++i;
  std::size_t width = 0, digits = 0;
  while (i < f.size() && std::isdigit(static_cast<unsigned char>(f[i])) && digits < 6) {
    width = width * 10 + static_cast<std::size_t>(f[i++] - '0');
    ++digits;
  }
  if (digits == 0 || width == 0) return std::nullopt;
  return width;
}

struct Reader {
  const json& root;
  const std::string& name;

  [[noreturn]] void refuse(const std::string& why) const {
    throw std::runtime_error("The table header " + name + " cannot be used: " + why);
  }

  const json* member(const char* key) const {
    auto it = root.find(key);
    return it == root.end() ? nullptr : &*it;
  }

  std::optional<std::size_t> width_of(const std::string& field) const {
    const json* formats = member("format");
    if (!formats || !formats->is_object() || !formats->contains(field)) return std::nullopt;
    return format_width((*formats)[field]);
  }

  // 1-based first column of a field: "position" (0-based) when given, else the sum of the widths of
  // the fields before it in "order".
  std::optional<std::size_t> column_of(const std::string& field) const {
    if (const json* positions = member("position");
        positions && positions->is_object() && positions->contains(field)) {
      const json& p = (*positions)[field];
      if (!p.is_number_integer() || p.get<long long>() < 0 || p.get<long long>() > 1000000)
        refuse("the position of " + field + " is not a column number");
      return static_cast<std::size_t>(p.get<long long>()) + 1;
    }
    const json* order = member("order");
    if (!order || !order->is_array()) return std::nullopt;
    std::size_t column = 1;
    for (const json& f : *order) {
      if (!f.is_string()) refuse("\"order\" holds something that is no field name");
      if (f.get<std::string>() == field) return column;
      const auto w = width_of(f.get<std::string>());
      if (!w) refuse("the field " + f.get<std::string>() + " of \"order\" has no format with a width");
      column += *w;
    }
    return std::nullopt;
  }

  std::optional<zqhitran::TFieldPlace> place(const std::string& field) const {
    const auto w = width_of(field);
    const auto c = w ? column_of(field) : std::nullopt;
    if (!w || !c) return std::nullopt;
    return zqhitran::TFieldPlace{*c, *w};
  }

  zqhitran::TFieldPlace required(const std::string& field) const {
    const auto p = place(field);
    if (!p) refuse("it gives no format and position for " + field + ", which the line reader needs");
    return *p;
  }
};

} // namespace

bool HasExtension(const std::string& path, const std::string& ext) {
  return lower(fs::path(path).extension().string()) == lower(ext);
}

std::string TablePartner(const std::string& path, const std::string& ext) {
  const fs::path p(path);
  const std::string own = p.extension().string();
  const bool ownUpper = !own.empty() && own == upper(own);
  for (const std::string& spelling : {ownUpper ? upper(ext) : lower(ext), lower(ext), upper(ext)}) {
    const fs::path candidate = fs::path(p).replace_extension(spelling);
    if (is_regular(candidate)) return candidate.string();
  }
  std::error_code ec;
  const fs::path folder = p.has_parent_path() ? p.parent_path() : fs::path(".");
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const fs::path e = entry.path();
    if (e.stem() == p.stem() && lower(e.extension().string()) == lower(ext) && is_regular(e))
      return e.string();
  }
  return {};
}

zqhitran::THitranLayout ParseTableHeader(const std::string& text, const std::string& name) {
  json root;
  try {
    root = json::parse(text);
  } catch (const json::exception& e) {
    throw std::runtime_error("The table header " + name + " is not valid JSON: " + e.what());
  }
  if (!root.is_object()) throw std::runtime_error("The table header " + name + " is not a JSON object");
  const Reader r{root, name};
  if (const json* type = r.member("table_type"); type && !(type->is_string() && *type == "column-fixed"))
    r.refuse("its records are not in fixed columns (table_type " + type->dump() + ")");

  zqhitran::THitranLayout layout;
  auto read_rows = [&] {
    if (const json* rows = r.member("number_of_rows")) {
      if (!rows->is_number_integer() || rows->get<long long>() < 0) r.refuse("number_of_rows is no count");
      layout.Rows = static_cast<long>(rows->get<long long>());
    }
  };
  // A header that places no field says nothing against the standard record.
  if (!r.member("format") && !r.member("order") && !r.member("position")) {
    read_rows();
    return layout;
  }
  layout.Molecule = r.required("molec_id");
  layout.Isotopologue = r.required("local_iso_id");
  if (layout.Molecule.Width != 2 || layout.Isotopologue.Width != 1)
    r.refuse("molec_id and local_iso_id must be 2 and 1 characters wide, as in HITRAN records");
  const char* fields[6] = {"nu", "sw", "gamma_air", "gamma_self", "elower", "n_air"};
  for (int i = 0; i < 6; ++i)
    layout.Fields[i] = r.required(fields[i]);
  const auto shift = r.place("delta_air");
  layout.Shift = shift ? *shift : zqhitran::TFieldPlace{0, 0};
  const auto quanta = r.place("global_lower_quanta");
  layout.Branch = quanta && quanta->Width >= 5 ? quanta->Column + 3 : 0;

  // The longest record: the end of the last standard field, then each extra column after its separator.
  std::size_t longest = 0;
  std::vector<std::pair<std::string, zqhitran::TFieldPlace>> used = {{"molec_id", layout.Molecule},
                                                                     {"local_iso_id", layout.Isotopologue}};
  for (int i = 0; i < 6; ++i)
    used.emplace_back(fields[i], layout.Fields[i]);
  if (shift) used.emplace_back("delta_air", *shift);
  for (const auto& [field, p] : used)
    longest = std::max(longest, p.End());
  if (const json* order = r.member("order"); order && order->is_array())
    for (const json& f : *order)
      if (f.is_string())
        if (const auto p = r.place(f.get<std::string>())) longest = std::max(longest, p->End());
  if (const json* extra = r.member("extra"); extra && extra->is_array() && !extra->empty()) {
    const json* sep = r.member("extra_separator");
    const std::size_t separator = sep && sep->is_string() ? sep->get<std::string>().size() : 0;
    const json* formats = r.member("extra_format");
    for (const json& f : *extra) {
      const auto w =
          f.is_string() && formats && formats->is_object() && formats->contains(f.get<std::string>())
              ? format_width((*formats)[f.get<std::string>()])
              : std::nullopt;
      if (!w) r.refuse("the extra column " + f.dump() + " has no format with a width");
      longest += separator + *w;
    }
  }
  layout.Longest = longest;

  // Fields the reader takes must not share columns: a header that says so describes no record.
  for (std::size_t i = 0; i < used.size(); ++i)
    for (std::size_t j = i + 1; j < used.size(); ++j) {
      const auto& [a, pa] = used[i];
      const auto& [b, pb] = used[j];
      if (pa.Column <= pb.End() && pb.Column <= pa.End())
        r.refuse(a + " (columns " + std::to_string(pa.Column) + "-" + std::to_string(pa.End()) + ") and " +
                 b + " (columns " + std::to_string(pb.Column) + "-" + std::to_string(pb.End()) + ") overlap");
    }
  read_rows();
  return layout;
}

zqhitran::THitranLayout ReadTableHeader(const std::string& headerFile) {
  // A header is a few kilobytes; one far larger is no header.
  constexpr std::uintmax_t kLargest = 16u << 20;
  std::error_code ec;
  if (!is_regular(headerFile)) throw std::runtime_error("The table header " + headerFile + " is not a file");
  if (fs::file_size(headerFile, ec) > kLargest)
    throw std::runtime_error("The table header " + headerFile +
                             " is larger than 16 MB: it is no table header");
  std::ifstream in(headerFile, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in && !in.eof()) throw std::runtime_error("The table header " + headerFile + " cannot be read");
  return ParseTableHeader(text.str(), headerFile);
}

} // namespace zqhitranapi
