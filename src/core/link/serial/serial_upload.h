#pragma once
// The serial upload: its steps, the buffers its replies fill, and the records made from them.

#include "core/link/serial/reply_checks.h"
#include "core/link/serial/serial_sequence.h"
#include "core/model/device_profile.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

namespace veltrane::serial {

class SerialUpload : public SerialSequence {
public:
    // The gateway must be of the state's device type; the model switches decide the forms read.
    explicit SerialUpload(const ProjectState& state);
    // An upload whose replies were gathered elsewhere: it has no steps and holds these buffers.
    SerialUpload(const ProjectState& state, UploadBuffers gathered);

    const UploadBuffers& buffers() const { return m_buffers; }

    // After finished(): writes the uploaded configuration into the records and state given, which
    // should be copies of the open project's; the caller adopts them.
    void applyTo(Project& project, ProjectState& state) const;

private:
    StepOutcome onDeviceInfo(ByteView reply);
    void planAfterDeviceInfo();
    void planSubnet(int subnet, bool fourSubnets);
    int planPackages(int subnet, bool fourSubnets); // the number of packages planned

    ProjectState m_state;
    UploadContext m_context;
    UploadBuffers m_buffers;
};

// The command packages asked for a subnet holding this many commands: the row's records each;
// at least one package from a single-subnet gateway, none for no commands from a four-subnet one.
int commandPackages(const DeviceProfile& profile, int commandCount);

StepCaptions uploadCaptions(int deviceCode);

} // namespace veltrane::serial
