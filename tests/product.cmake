# product service: uninstaller registration
target_sources(fwnative_tests PRIVATE
  product/uninstaller_test.cpp
)
