# Files of src/app: application object, main frame, child frames, About box.
# The settings and the Options dialog list their files in settings.cmake.
include(${CMAKE_CURRENT_LIST_DIR}/settings.cmake)
list(APPEND TARN_UI_SOURCES
)
