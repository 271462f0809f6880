// `tovrek view MODEL... [options]`: reads the command line and runs the
// viewer (viewer/) with the driver module that --module, $TOVREK_MODULE or
// the build names.
#include "tools/view_command.h"

#include <string>

#include "tools/module_path.h"
#include "viewer/view_options.h"
#include "viewer/view_batch.h"

namespace {

int view_command(int argc, char** argv) {
    View_Options options;
    std::string error;
    if (!parse_view_options(argc, argv, &options, &error)) return brief_usage_error(VIEW_COMMAND, error);
    return run_view_models(options, driver_module_path(options.module), "/proc/self/exe");
}

}  // namespace

const Tool_Command VIEW_COMMAND = {
    "view", "render model files through the driver, or compare them with a reference",
    VIEW_HELP,
    view_command,
};
