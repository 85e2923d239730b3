// tromel-cli render: arrives with the sound engine.
#include "tools/cli/CliCommand.h"

#include <iostream>

namespace tromel::cli {

int runRender(const std::vector<std::string>&) {
    std::cerr << "tromel-cli: render is not available yet\n";
    return exitFailure;
}

}  // namespace tromel::cli
