#include "app/shell/command_line.h"

#include <QCommandLineParser>

#include <array>
#include <string_view>

namespace veltrane {

void describeCommandLine(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Configures Modbus gateways to EtherNet/IP, DeviceNet and PROFIBUS DP. Without a file,\n"
                       "the window opens with a new EtherNet/IP project."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The project (.chg file) to open."),
                                 QStringLiteral("[file]"));
}

bool asksForInformationOnly(int argc, const char* const* argv) {
    constexpr std::array<std::string_view, 6> informational{"-h", "--help", "-?", "--help-all", "-v", "--version"};
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "--")
            return false;
        for (std::string_view option : informational)
            if (argument == option)
                return true;
    }
    return false;
}

QString fileArgument(const QCommandLineParser& parser) {
    const QStringList files = parser.positionalArguments();
    return files.isEmpty() ? QString() : files.first();
}

} // namespace veltrane
