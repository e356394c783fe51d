#pragma once

namespace cvl {

// Keeps at most 511 characters; shorter texts are zero-padded and the final
// byte always stays zero. A null text empties the message.
void set_last_error(const char* text);
const char* last_error();

}  // namespace cvl
