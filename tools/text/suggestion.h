// A guess at what a mistyped name meant, for "did you mean" hints.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brx::text {

// The candidate closest to `name`, if one is close enough to be a likely
// typo: names that differ only in case, or by one or two letters left out,
// added, changed or swapped (fewer for short names). The first of equally
// close candidates wins.
std::optional<std::string_view> ClosestName(std::string_view name,
                                            const std::vector<std::string_view>& candidates);

// `unknown WHAT "NAME"`, followed by `; did you mean "X"?` when one is
// close; NAME as Quoted gives it.
std::string UnknownName(std::string_view what, std::string_view name,
                        const std::vector<std::string_view>& candidates);

}  // namespace brx::text
