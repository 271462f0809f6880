#pragma once

int view_command(int argc, char** argv);
