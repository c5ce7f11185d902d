# Windows service control: functions bound by name, the open-operate-close sequence, the
# NTServiceConfig snapshot and the peers
target_sources(fwnative_core PRIVATE
  winservice/service_binding.cpp
  winservice/service_config_snapshot.cpp
  winservice/service_peers.cpp
  winservice/service_changes.cpp
  winservice/service_queries.cpp
  winservice/peer_getters.cpp
  winservice/failure_actions_snapshot.cpp
  winservice/service_win2k.cpp
  winservice/file_version.cpp
)
target_link_libraries(fwnative_core PUBLIC version)
