// One handler per statement: each does what the host does for it and says
// why it failed, if it did. The world and lifecycle statements are in
// trace_world.cpp, the rendition in trace_rendition.cpp, drawing in
// trace_draw.cpp, pixel transfers in trace_pixels.cpp and expectations in
// trace_expect.cpp.
#pragma once

#include "tools/replay_state.h"
#include "tools/trace_statements.h"

Failure run_statement(Replay_State& state, const Screen_Statement& statement);
Failure run_statement(Replay_State& state, const Registry_Statement& statement);
Failure run_statement(Replay_State& state, const Window_Statement& statement);
Failure run_statement(Replay_State& state, const Option_Statement& statement);
Failure run_statement(Replay_State& state, const Device_Statement& statement);
Failure run_statement(Replay_State& state, const Use_Statement& statement);
Failure run_statement(Replay_State& state, const Start_Statement& statement);
Failure run_statement(Replay_State& state, const Show_Statement& statement);
Failure run_statement(Replay_State& state, const Destroy_Statement& statement);

Failure run_statement(Replay_State& state, const Color_Statement& statement);
Failure run_statement(Replay_State& state, const Line_Statement& statement);
Failure run_statement(Replay_State& state, const Face_Statement& statement);
Failure run_statement(Replay_State& state, const Texture_Statement& statement);

Failure run_statement(Replay_State& state, const Primitive_Statement& statement);
Failure run_statement(Replay_State& state, const Rectangle_Statement& statement);

Failure run_statement(Replay_State& state, const Image_Statement& statement);
Failure run_statement(Replay_State& state, const Write_Depth_Statement& statement);
Failure run_statement(Replay_State& state, const Read_Statement& statement);
Failure run_statement(Replay_State& state, const Restore_Statement& statement);

Failure run_statement(Replay_State& state, const Snapshot_Statement& statement);
Failure run_statement(Replay_State& state, const Expect_Pixel_Statement& statement);
Failure run_statement(Replay_State& state, const Expect_Read_Statement& statement);
Failure run_statement(Replay_State& state, const Expect_Depth_Statement& statement);
Failure run_statement(Replay_State& state, const Expect_Image_Statement& statement);
Failure run_statement(Replay_State& state, const Expect_Message_Statement& statement);
Failure run_statement(Replay_State& state, const Expect_No_Message_Statement& statement);

// The current device, or the failure of a statement that needs one.
HT_Device_Data* need_current_device(Replay_State& state, Failure* failure);
