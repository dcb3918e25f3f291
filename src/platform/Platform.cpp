#include "platform/Platform.h"

#include "platform/LinuxPlatform.h"

namespace {
std::unique_ptr<Platform> &slot() {
    static std::unique_ptr<Platform> platform;
    return platform;
}
} // namespace

Platform::~Platform() = default;

Platform &Platform::instance() {
    if (!slot())
        slot() = std::make_unique<LinuxPlatform>();
    return *slot();
}

void Platform::setInstance(std::unique_ptr<Platform> platform) {
    slot() = std::move(platform);
}
