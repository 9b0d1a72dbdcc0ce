#include "present/grid_export.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "data/gbk_text.h"
#include "present/grid_print.h"

namespace velmor {
namespace {

std::string JoinRow(const std::vector<std::string>& cells) {
  std::string line;
  for (size_t k = 0; k < cells.size(); ++k) {
    if (k > 0) line += ',';
    line += CsvField(cells[k]);
  }
  return line;
}

// The permissions a file created by name would get; mkstemp makes its file private.
mode_t CreationMode() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "Umask:") {
      unsigned mask = 022;
      status >> std::oct >> mask;
      return static_cast<mode_t>(0666 & ~mask);
    }
  }
  return 0644;
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

std::string CsvField(std::string_view cell) {
  if (cell.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(cell);
  std::string out = "\"";
  for (char c : cell) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

std::vector<std::string> ExportLines(const TStringGrid& grid, bool detail, int rowCount) {
  std::vector<std::string> lines = {"", "", PublisherName(), PublisherAddress(), "", ""};
  const int n = grid.ColCount();
  std::vector<std::string> cells(static_cast<size_t>(n));
  for (int k = 0; k < n; ++k) {
    cells[static_cast<size_t>(k)] = detail ? DetailColumnTitles(k) : ResultColumnTitles(k);
  }
  lines.push_back(JoinRow(cells));
  for (int r = 0; r < rowCount; ++r) {
    for (int k = 0; k < n; ++k) cells[static_cast<size_t>(k)] = grid.Cells(k, r);
    lines.push_back(JoinRow(cells));
  }
  return lines;
}

bool WriteExportFile(const std::string& path, const std::vector<std::string>& lines,
                     std::string* error, int* errorNumber) {
  auto fail = [&](int number) {
    if (error) *error = "cannot write " + path + ": " + std::strerror(number);
    if (errorNumber) *errorNumber = number;
    return false;
  };
  if (path.empty()) return fail(ENOENT);
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  // Created exclusively: a name merely checked first could be taken, or turned into a link to
  // some other file, before it is opened.
  std::string temp = path + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return fail(errno);
  const bool written = ::fchmod(fd, CreationMode()) == 0 && WriteAll(fd, text);
  const int writeError = errno;
  if (::close(fd) != 0 || !written) {
    const int number = written ? errno : writeError;
    ::unlink(temp.c_str());
    return fail(number);
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const int number = errno;
    ::unlink(temp.c_str());
    return fail(number);
  }
  return true;
}

std::string ExportErrorText(int errorNumber) {
  switch (errorNumber) {
    case EACCES:
    case EPERM:
    case EROFS:
      return G("无法写入文件：没有权限。");
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return G("磁盘已满。");
    case ENOENT:
    case ENOTDIR:
      return G("文件夹不存在。");
    case EISDIR:
      return G("同名的文件夹已存在。");
    default:
      return G("无法写入文件。");
  }
}

}  // namespace velmor
