# security service: local users and groups through Netapi32.dll, loaded on first use
target_sources(fwnative_core PRIVATE
  security/local_accounts.cpp
)
