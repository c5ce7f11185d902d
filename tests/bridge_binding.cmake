# native bridge: binding by name, the administrator test and the privilege enabler
target_sources(fwnative_tests PRIVATE
  bridge/function_binding_test.cpp
  bridge/current_user_administrator_test.cpp
  bridge/privilege_enabler_test.cpp
)
