// Reading a server list exactly as the box reads it, for the operator's checks
// and for the reference service.
#pragma once

#include "KeyOptions.h"

#include "core/uConfig.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tandrel::admin {

// A plain document, or an encrypted body when keys are given; throws the box's
// DocumentError for a document the box would refuse.
TConfig ReadList(std::span<const std::uint8_t> bytes, const std::optional<ListKeys>& keys = std::nullopt);

// The entries as a JSON array of objects with the six fields in their order. No
// control character stands raw in either text: the writer escapes C0 controls, and
// DEL and the C1 controls are written as \u escapes too.
std::string EntriesJson(const std::vector<TBoxConfig>& entries);
// A whole document in the normal form the box reads.
std::string DocumentJson(const std::vector<TBoxConfig>& entries);

}  // namespace tandrel::admin
