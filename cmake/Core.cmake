# The portable core: every file that decides something without a window
# system, by subsystem, in the order of the layers (docs/design.md). Every
# program links it; the platforms and the software renderer fill its seams.
add_library(vivuvev_core OBJECT
  # display/: the window library's table and event queue, and the rules the
  # x11 and win32 windows and screens follow
  display/device_loss.cpp
  display/format_bits.cpp
  display/render_state_cache.cpp
  display/visual_format.cpp
  display/window_events.cpp
  display/window_notifications.cpp
  display/window_style.cpp
  display/window_table.cpp
  # input/: keyboard polling and the X key map
  input/keyboard.cpp
  input/keymap.cpp
  # canvas/: the canvas store, drawing passes and the blit's portable half
  canvas/blit.cpp
  canvas/canvas_store.cpp
  canvas/change_map.cpp
  canvas/damage.cpp
  canvas/drawing_images.cpp
  canvas/drawing_ops.cpp
  canvas/drawing_pass.cpp
  # program/: the program-wide values, start-up and the orderly end
  program/program.cpp
  # sweep/: the animation
  sweep/random.cpp
  sweep/sweep_animation.cpp
  sweep/sweep_cycle.cpp
  sweep/sweep_frame.cpp
  sweep/sweep_geometry.cpp
  sweep/sweep_setup.cpp
  # launch/: what saver and standalone do with their command line
  launch/dispatch.cpp
  launch/display_failure.cpp
  launch/message_box_layout.cpp
  launch/parameters.cpp
  launch/text.cpp
)
