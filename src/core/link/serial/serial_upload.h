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
    // What the upload is read for: the open project, whose device type the gateway must have, or a
    // new project (no switches) of whatever serial type the gateway reports.
    enum class Base { OpenProject, GatewayType };

    // The model switches of the state decide the forms read.
    explicit SerialUpload(const ProjectState& state, Base base = Base::OpenProject);

    Base base() const { return m_base; }
    // The device type the upload was read as (the gateway's once its device information came).
    std::int32_t deviceType() const { return m_state.DeviceType; }
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
    Base m_base = Base::OpenProject;
    UploadContext m_context;
    UploadBuffers m_buffers;
};

// The command packages asked for a subnet holding this many commands: the row's records each;
// at least one package from a single-subnet gateway, none for no commands from a four-subnet one.
int commandPackages(const DeviceProfile& profile, int commandCount);

StepCaptions uploadCaptions(int deviceCode);

} // namespace veltrane::serial
