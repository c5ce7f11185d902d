# native bridge: binding by name, the administrator test and the privilege enabler
target_sources(fwnative_tests PRIVATE
  bridge/advapi32_binding_test.cpp
)
