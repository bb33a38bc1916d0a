// The interface simulator in-process behind a port, with its log and frames kept, and the
// library's handshake on that port.
#pragma once

#include "lptlib/LptProtocol.h"
#include "tests/lptsim/LptSimPorts.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace lpttest {

struct SimDeviceTest : ::testing::Test {
    lptsim::DeviceConfig config;
    std::unique_ptr<lptsim::LptSimDevice> device;
    std::unique_ptr<lptsim::LptSimPort> port;
    std::unique_ptr<lpt::LptProtocol> proto;
    std::vector<std::string> log;
    std::vector<std::vector<std::uint8_t>> frames;

    void Make()
    {
        device = std::make_unique<lptsim::LptSimDevice>(config);
        device->OnLog = [this](const std::string &l) { log.push_back(l); };
        device->OnFrame = [this](const std::vector<std::uint8_t> &f) { frames.push_back(f); };
        port = std::make_unique<lptsim::LptSimPort>(*device, config.base);
        proto = std::make_unique<lpt::LptProtocol>(*port, [](int) {});
        proto->SetPortAddresses(config.base);
    }
};

} // namespace lpttest
