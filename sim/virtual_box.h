#pragma once

// The box's model and its fault plan joined: bytes in, timed writes out.
// Both the pty host and the in-process box drive one of these.

#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

#include "sim/box_config.h"
#include "sim/box_model.h"
#include "sim/fault_plan.h"

namespace lumora::sim {

class VirtualBox {
  public:
    struct Result {
        std::vector<Exchange> exchanges;  // every packet taken off the line
        std::vector<TimedWrite> writes;   // what goes back, in time order
    };

    explicit VirtualBox(const BoxConfig& config) : model_(config.model), plan_(config.faults) {}

    // Bytes from the host received at `now`; an empty span says the line was
    // idle until `now` and only lets a half-received packet expire.
    Result receive(std::span<const std::uint8_t> bytes, std::chrono::microseconds now,
                   Intake intake = Intake::kAsTheyCame);

    BoxModel& model() { return model_; }
    const BoxModel& model() const { return model_; }
    const FaultPlan& plan() const { return plan_; }

  private:
    BoxModel model_;
    FaultPlan plan_;
};

}  // namespace lumora::sim
