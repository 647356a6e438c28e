#include "tools/text/suggestion.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <string>

#include "tools/text/quoting.h"

namespace brx::text {
namespace {

char Lower(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Edits (insertion, deletion, substitution, swap of neighbours) from a to b,
// ignoring case.
std::size_t Distance(std::string_view a, std::string_view b) {
  const std::size_t n = a.size();
  const std::size_t m = b.size();
  // Three rows of the table: two back, one back and the current one.
  std::vector<std::size_t> before(m + 1), previous(m + 1), current(m + 1);
  for (std::size_t j = 0; j <= m; ++j) previous[j] = j;
  for (std::size_t i = 1; i <= n; ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= m; ++j) {
      const bool same = Lower(a[i - 1]) == Lower(b[j - 1]);
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + !same});
      if (i > 1 && j > 1 && Lower(a[i - 1]) == Lower(b[j - 2]) &&
          Lower(a[i - 2]) == Lower(b[j - 1]))
        current[j] = std::min(current[j], before[j - 2] + 1);
    }
    std::swap(before, previous);
    std::swap(previous, current);
  }
  return previous[m];
}

}  // namespace

std::optional<std::string_view> ClosestName(std::string_view name,
                                            const std::vector<std::string_view>& candidates) {
  std::optional<std::string_view> best;
  std::size_t best_distance = 0;
  for (std::string_view candidate : candidates) {
    // No fewer edits than the lengths differ by: a long name is passed over
    // without the table, which would grow with it.
    if (name.size() > candidate.size() + 2 || candidate.size() > name.size() + 2) continue;
    const std::size_t distance = Distance(name, candidate);
    // One edit in a name of up to seven letters, two in a longer one.
    const std::size_t allowed = candidate.size() < 8 ? 1 : 2;
    if (distance > allowed || (best && distance >= best_distance)) continue;
    best = candidate;
    best_distance = distance;
  }
  return best;
}

std::string UnknownName(std::string_view what, std::string_view name,
                        const std::vector<std::string_view>& candidates) {
  std::string message = "unknown " + std::string(what) + " " + Quoted(name);
  if (const auto guess = ClosestName(name, candidates))
    message += "; did you mean " + Quoted(*guess) + "?";
  return message;
}

}  // namespace brx::text
