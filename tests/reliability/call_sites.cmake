# The fault-injection sweep: every Win32 call of every native method made to fail once, through
# fwcall's method table and the shipped DLL.
if(FW_BUILD_FWCALL)
  target_sources(fwnative_tests PRIVATE
    reliability/call_sites_test.cpp
  )
  target_link_libraries(fwnative_tests PRIVATE fwcall_core netapi32)
endif()
