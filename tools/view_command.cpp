// `tovrek view MODEL [options]`: reads the command line and runs the viewer
// (viewer/) with the driver module that --module, $TOVREK_MODULE or the
// build names.
#include "tools/view_command.h"

#include <cstdio>
#include <string>

#include "tools/module_path.h"
#include "viewer/view_options.h"
#include "viewer/view_run.h"

int view_command(int argc, char** argv) {
    for (int i = 0; i < argc; ++i)
        if (std::string(argv[i]) == "--help") {
            std::fputs(VIEW_USAGE, stdout);
            return 0;
        }
    View_Options options;
    std::string error;
    if (!parse_view_options(argc, argv, &options, &error)) {
        std::fprintf(stderr, "view: %s\n%s", error.c_str(), VIEW_USAGE);
        return 2;
    }
    return run_view(options, driver_module_path(options.module));
}
