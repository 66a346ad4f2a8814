// The publisher's public keys built into the program: the key that signs
// the definitions today and the one it will move to, so that the move needs
// no release in between. Both are development keys: their private halves
// are in tools/development-keys (docs/update-server.md).
#pragma once

#include <string_view>

namespace core {

// In the form core::ParsePublicKeys reads.
extern const std::string_view kBuiltInPublisherKeys;

}  // namespace core
