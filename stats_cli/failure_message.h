// What taviro-stats tells when its work ends in an exception on any of its threads, instead of
// ending without a word.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace taviro::stats {

// The line to tell for `failure`, after the program's name; `lessen` names the option that asks
// for less memory.
std::string FailureMessage(std::exception_ptr failure, std::string_view program,
                           std::string_view lessen);

}  // namespace taviro::stats
