#include "core/compare/gateway_comparison.h"

#include "core/compare/serial_round_trip.h"
#include "core/document/document.h"
#include "core/interaction/prompter.h"
#include "core/transfer/download_checks.h"
#include "core/transfer/upload_adoption.h"

#include <functional>

namespace veltrane {

namespace {

// A copy of the project in a document of its own, changed by one adoption.
class AdoptedCopy {
public:
    AdoptedCopy(const Project& project, const ProjectState& state, const std::function<void(Document&)>& adopt)
        : m_document(m_prompter) {
        m_document.project() = project;
        m_document.state() = state;
        adopt(m_document);
    }
    ProjectSide side() const { return {m_document.project(), m_document.state()}; }

private:
    ScriptedPrompter m_prompter;
    Document m_document;
};

}  // namespace

std::vector<ProjectDifference> compareWithEthernetGateway(const Project& project, const ProjectState& state,
                                                          const ethernet::ConfigurationImage& uploaded) {
    // The image a download would write, after the download's own preparation of the records.
    Project sent = project;
    ScriptedPrompter silent;
    prepareEthernetDownload(sent, silent);
    const ethernet::ConfigurationImage written = ethernet::buildConfigurationImage(sent, state);
    const AdoptedCopy file(project, state, [&](Document& d) { adoptEthernetUpload(d, written, {}); });
    const AdoptedCopy gateway(project, state, [&](Document& d) { adoptEthernetUpload(d, uploaded, {}); });
    return diffProjects(file.side(), gateway.side());
}

std::vector<ProjectDifference> compareWithSerialGateway(const Project& project, const ProjectState& state,
                                                        const serial::SerialUpload& upload) {
    const serial::SerialUpload written(state, compare::serialRoundTrip(project, state, upload.buffers()));
    const AdoptedCopy file(project, state, [&](Document& d) { adoptSerialUpload(d, written, {}); });
    const AdoptedCopy gateway(project, state, [&](Document& d) { adoptSerialUpload(d, upload, {}); });
    return diffProjects(file.side(), gateway.side());
}

}  // namespace veltrane
