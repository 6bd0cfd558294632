#pragma once
// The serial download's steps, from the device information request to the PROFIBUS configuration
// data. The checks before it are in core/transfer/download_checks.h.

#include "core/link/serial/serial_requests.h"
#include "core/link/serial/serial_sequence.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

#include <vector>

namespace veltrane::serial {

class SerialDownload : public SerialSequence {
public:
    // Takes a copy of the project: the frames are built from it as the steps come.
    SerialDownload(const Project& project, const ProjectState& state);

private:
    StepOutcome onDeviceInfo(ByteView reply);
    void planAfterDeviceInfo();
    void planSingleSubnet();
    void planFourSubnets();

    Project m_project;
    ProjectState m_state;
};

// Every number the download's frames carry, with its item, as the frames write them: what a
// download checks for numbers wider than their fields. The option byte's count is included
// whenever the project would send it to a gateway new enough to take it.
std::vector<ItemNumber> downloadNumbers(const Project& project, const ProjectState& state);

// The captions of the step lines for the device code a gateway reported.
StepCaptions downloadCaptions(int deviceCode);

} // namespace veltrane::serial
