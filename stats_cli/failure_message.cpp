#include "stats_cli/failure_message.h"

#include <new>

#include "core/concat.h"

namespace taviro::stats {

std::string FailureMessage(std::exception_ptr failure, std::string_view program,
                           std::string_view lessen) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
        return Concat(program, ": メモリが足りません。", lessen, " を減らしてください。\n");
    } catch (const std::exception& e) {
        return Concat(program, ": 計算を続けられませんでした: ", e.what(), "\n");
    } catch (...) {
        return Concat(program, ": 計算を続けられませんでした。\n");
    }
}

}  // namespace taviro::stats
