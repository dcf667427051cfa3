#include "write_fault.h"

#include <atomic>

namespace tez {

namespace {

std::atomic<WriteFault> fault{nullptr};

} // namespace

void set_write_fault(WriteFault f) {
    fault.store(f);
}

bool write_fails(const std::filesystem::path& output) {
    const WriteFault f = fault.load();
    return f != nullptr && f(output);
}

} // namespace tez
