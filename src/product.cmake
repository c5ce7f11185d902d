# product service: registration of the product's uninstaller
target_sources(fwnative_core PRIVATE
  product/uninstaller_registration.cpp
)
