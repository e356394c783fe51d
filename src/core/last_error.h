#pragma once

#include <string>

namespace cvl {

// Keeps at most 511 characters; shorter texts are zero-padded and the final
// byte always stays zero. A null text empties the message.
void set_last_error(const char* text);
const char* last_error();

// Why a call that has no result of its own to fail with did not do its work, as
// engine code hands it up to the export: "cannot create /x/y.png: No such file or
// directory". Empty when the work was done.
using FailureCause = std::string;

// Records "<call>: <cause>" when there is a cause. Success leaves the text as it
// was: nothing clears it but the host.
void report_failure(const char* call, const FailureCause& cause);

// The system's text for an errno value, after ": " ("" for 0).
std::string os_reason(int os_error);

}  // namespace cvl
