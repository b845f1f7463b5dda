# The installed tree, laid out anew below the build folder:
#   cmake -DBUILD_DIR=<build> -DSTAGE_DIR=<stage> -P stage.cmake
file(REMOVE_RECURSE "${STAGE_DIR}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${STAGE_DIR}"
                COMMAND_ERROR_IS_FATAL ANY)
