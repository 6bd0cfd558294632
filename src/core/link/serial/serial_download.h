#pragma once
// The serial download: the checks before it and its steps, from the device information request
// to the PROFIBUS configuration data.

#include "core/link/serial/serial_requests.h"
#include "core/link/serial/serial_sequence.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

namespace veltrane::serial {

// The refusals that come before any exchange: PROFIBUS sizes that differ where they must match,
// a used node without an address. The mapping conflict question is the caller's.
Status checkDownloadPreconditions(const Project& project, const ProjectState& state);

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

// The captions of the step lines for the device code a gateway reported.
StepCaptions downloadCaptions(int deviceCode);

} // namespace veltrane::serial
