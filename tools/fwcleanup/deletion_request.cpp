#include "deletion_request.h"

namespace fwcleanup {

bool ParseDeletionRequest(const std::string& bytes, DeletionRequest& out) {
  const std::string text = bytes.substr(0, bytes.find('\0'));
  if (text.empty() || (text[0] != '0' && text[0] != '1')) return false;
  out.deleteAtRestart = text[0] == '1';
  const std::size_t blank = text.find_first_not_of("0123456789abcdefABCDEF", 1);
  if (blank == 1 || blank > 9 || blank == std::string::npos || text[blank] != ' ') return false;
  out.installerPid = std::stoul(text.substr(1, blank - 1), nullptr, 16);
  out.entries.clear();
  for (std::size_t start = blank + 1; start <= text.size();) {
    const std::size_t separator = text.find(';', start);
    const std::size_t end = separator == std::string::npos ? text.size() : separator;
    const bool tree = start < end && text[start] == '*';
    const std::string path = text.substr(start + (tree ? 1 : 0), end - start - (tree ? 1 : 0));
    if (!path.empty()) out.entries.push_back({path, tree});
    start = end + 1;
  }
  return true;
}

}  // namespace fwcleanup
