#pragma once
// "Send": the typed buffer address and data bytes checked and turned into a write.

#include "core/common/result.h"
#include "core/debug/debug_command.h"

#include <string_view>

namespace veltrane {

// What the two edit boxes show when the debug dialog opens.
inline constexpr std::string_view kDefaultSendAddress = "4000";
inline constexpr std::string_view kDefaultSendData = "00 01 02 03";

// Both texts are compared case-blind. The address is four hexadecimal digits inside the output
// buffer; the data are pairs of hexadecimal digits separated by single spaces ("00 01 02"), a final
// lone digit being ignored and a space inside a pair counting as 0. The first failed check gives its
// message (ErrorKind::Format), in this order: an empty text; a character other than 0-9, a-f and
// space; a data separator that is not a space; an address that is not four characters; an address
// outside the output buffer; no data byte at all; bytes running past the buffer's end; more bytes
// than one serial write can carry.
Result<WritePayload> validateSend(std::string_view addressText, std::string_view dataText,
                                  DebugTransport transport = DebugTransport::Ethernet);

}  // namespace veltrane
