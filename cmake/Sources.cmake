# Which files make up each layer. Portable files go into vivuvev_core; each
# platform-bound header has one file per platform, picked here.

add_library(vivuvev_core OBJECT
  launch/dispatch.cpp
  launch/parameters.cpp
  launch/program.cpp
  launch/text.cpp
  sweep/max_step.cpp
  sweep/sweep_animation.cpp
  sweep/sweep_frame.cpp
  sweep/sweep_cycle.cpp
  display/device_loss.cpp
  display/format_bits.cpp
  display/render_state_cache.cpp
  display/window_events.cpp
  display/window_style.cpp
  display/window_table.cpp
  canvas/blit.cpp
  canvas/canvas_store.cpp
  canvas/change_map.cpp
  canvas/drawing_images.cpp
  canvas/drawing_ops.cpp
  canvas/drawing_pass.cpp
  input/keyboard.cpp
  input/keymap.cpp
  input/random.cpp
  display/visual_format.cpp
  display/window_notifications.cpp
  launch/display_failure.cpp
  launch/message_box_layout.cpp
)

# The module's arguments and loop. Its -fps overlay exists on the software
# platforms (x11 and headless) only, so the Windows programs do not link it.
add_library(vivuvev_module OBJECT
  launch/module_options.cpp
  sweep/frame_rate.cpp
  sweep/module_sweep.cpp
)

# The software blit's row kernels. On x86-64 each vector set's file is built
# for its own instruction set and used only where the processor has it;
# MinGW-w64 does not keep the stack 32-byte aligned for AVX values, so Windows
# builds stop at SSE2. Other processors get the one-pixel formulas alone.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64")
  if(WIN32)
    set(VIVUVEV_BLEND_ROWS canvas/blend_rows_sse2.cpp canvas/blend_rows_x86_win32.cpp)
  else()
    set(VIVUVEV_BLEND_ROWS canvas/blend_rows_sse2.cpp canvas/blend_rows_avx2.cpp
        canvas/blend_rows_avx512.cpp canvas/blend_rows_x86.cpp)
    set_source_files_properties(canvas/blend_rows_avx2.cpp PROPERTIES COMPILE_OPTIONS -mavx2)
    set_source_files_properties(canvas/blend_rows_avx512.cpp
                                PROPERTIES COMPILE_OPTIONS "-mavx512f;-mavx512bw")
  endif()
else()
  set(VIVUVEV_BLEND_ROWS canvas/blend_rows_generic.cpp)
endif()

# Software canvas, 2D drawing, blit and back buffer: the x11 and headless
# platforms draw with these.
add_library(vivuvev_software OBJECT
  canvas/blend_rows_active.cpp
  canvas/blend_rows_scalar.cpp
  ${VIVUVEV_BLEND_ROWS}
  canvas/blit_software.cpp
  canvas/canvas_surface_software.cpp
  canvas/damage.cpp
  canvas/ellipse_raster.cpp
  canvas/gdi_software.cpp
  display/screen_software.cpp
)

# No window system: a screen in memory, scripted keyboard, cursor and window
# messages.
add_library(vivuvev_headless OBJECT
  display/frame_rate_overlay_headless.cpp
  display/present_headless.cpp
  display/window_headless.cpp
  input/keyboard_headless.cpp
  launch/message_box_headless.cpp
  platform/desktop_headless.cpp
)

# Operating-system services.
if(WIN32)
  set(VIVUVEV_SYSTEM_SOURCE ${CMAKE_SOURCE_DIR}/platform/system_win32.cpp)
  add_library(vivuvev_os OBJECT ${VIVUVEV_SYSTEM_SOURCE} launch/command_line_win32.cpp)
  set(VIVUVEV_SYSTEM_LIBRARIES ole32 comctl32)
else()
  set(VIVUVEV_SYSTEM_SOURCE ${CMAKE_SOURCE_DIR}/platform/system_posix.cpp)
  add_library(vivuvev_os OBJECT ${VIVUVEV_SYSTEM_SOURCE} launch/command_line_posix.cpp)
  set(VIVUVEV_SYSTEM_LIBRARIES "")
endif()

# Everything a headless program links.
add_library(vivuvev_headless_platform INTERFACE)
target_sources(vivuvev_headless_platform INTERFACE
  $<TARGET_OBJECTS:vivuvev_core>
  $<TARGET_OBJECTS:vivuvev_module>
  $<TARGET_OBJECTS:vivuvev_software>
  $<TARGET_OBJECTS:vivuvev_headless>
  $<TARGET_OBJECTS:vivuvev_os>
)
target_link_libraries(vivuvev_headless_platform INTERFACE ${VIVUVEV_SYSTEM_LIBRARIES})

# The x11 platform: Xlib windows and presenting, the key map through XCB, XRandR for the
# primary monitor, MIT-SHM when the server has it (its segments passed as file
# descriptors through XCB's shm extension).
if(NOT WIN32)
  find_package(X11 REQUIRED)
  if(NOT X11_Xext_FOUND OR NOT X11_Xrandr_FOUND OR NOT X11_X11_xcb_FOUND)
    message(FATAL_ERROR "The x11 platform needs libXext, libXrandr and libX11-xcb (libxext-dev, libxrandr-dev, libx11-xcb-dev)")
  endif()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(XCB_SHM REQUIRED IMPORTED_TARGET GLOBAL xcb-shm)
  add_library(vivuvev_x11 OBJECT
    display/frame_rate_overlay_x11.cpp
    display/present_x11.cpp
    display/window_x11.cpp
    display/x11_connection.cpp
    input/keyboard_x11.cpp
    launch/message_box_x11.cpp
    platform/desktop_x11.cpp
  )
  target_link_libraries(vivuvev_x11 PUBLIC X11::X11 X11::X11_xcb X11::xcb PkgConfig::XCB_SHM X11::Xext
                        X11::Xrandr)

  # Everything an X11 program links.
  add_library(vivuvev_x11_platform INTERFACE)
  target_sources(vivuvev_x11_platform INTERFACE
    $<TARGET_OBJECTS:vivuvev_core>
    $<TARGET_OBJECTS:vivuvev_module>
    $<TARGET_OBJECTS:vivuvev_software>
    $<TARGET_OBJECTS:vivuvev_x11>
    $<TARGET_OBJECTS:vivuvev_os>
  )
  target_link_libraries(vivuvev_x11_platform INTERFACE X11::X11 X11::X11_xcb X11::xcb PkgConfig::XCB_SHM
                        X11::Xext X11::Xrandr)

  # Videos of the back buffer through FFmpeg's libraries, for vivuvev-render
  # and the module's recording.
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET GLOBAL libavcodec libavformat libavutil libswscale)
  add_library(vivuvev_video STATIC tools/video_kind.cpp tools/video_writer.cpp
              tools/colour_reduction.cpp)
  target_link_libraries(vivuvev_video PUBLIC PkgConfig::FFMPEG)
  set_target_properties(vivuvev_video PROPERTIES POSITION_INDEPENDENT_CODE ON)

  add_executable(saver launch/saver_main.cpp)
  add_executable(standalone launch/standalone_main.cpp)
  add_executable(vivuvev launch/module_main.cpp launch/module_recording.cpp)
  foreach(program saver standalone vivuvev)
    target_link_libraries(${program} PRIVATE vivuvev_x11_platform)
  endforeach()
  target_link_libraries(vivuvev PRIVATE vivuvev_video)
endif()

if(WIN32)
  # The Windows platform: user32, GDI, Direct3D 9 and DirectInput 7. d3d9.dll,
  # DINPUT.DLL and msimg32.dll are loaded by name at run time, never linked.
  add_library(vivuvev_win32 OBJECT
    canvas/blit_d3d9.cpp
    canvas/canvas_surface_d3d9.cpp
    canvas/gdi_win32.cpp
    display/screen_d3d9.cpp
    display/window_win32.cpp
    input/keyboard_directinput.cpp
    launch/message_box_win32.cpp
    platform/desktop_win32.cpp
  )

  # Everything a Windows program links.
  add_library(vivuvev_win32_platform INTERFACE)
  target_sources(vivuvev_win32_platform INTERFACE
    $<TARGET_OBJECTS:vivuvev_core>
    $<TARGET_OBJECTS:vivuvev_win32>
    $<TARGET_OBJECTS:vivuvev_os>
  )
  # dxguid is a static library of GUIDs, not a DLL.
  target_link_libraries(vivuvev_win32_platform INTERFACE user32 gdi32 dxguid ${VIVUVEV_SYSTEM_LIBRARIES})

  # The deliverables, with their name, version and DPI-aware manifest as
  # resources, and no icon.
  add_executable(saver WIN32 launch/saver_main.cpp resources/saver.rc)
  set_target_properties(saver PROPERTIES SUFFIX ".scr")
  target_link_libraries(saver PRIVATE vivuvev_win32_platform)
  add_executable(standalone WIN32 launch/standalone_main.cpp resources/standalone.rc)
  target_link_libraries(standalone PRIVATE vivuvev_win32_platform)
endif()
