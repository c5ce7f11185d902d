# security service: local users and groups through a store of the test's own, the administrator test
target_sources(fwnative_tests PRIVATE
  security/local_accounts_test.cpp
)
