# native bridge: binding of optional system functions by name, the administrator test and the
# privilege enabler
target_sources(fwnative_core PRIVATE
  bridge/function_binding.cpp
  bridge/current_user_administrator.cpp
  bridge/privilege_enabler.cpp
)
