quarnel_add_tests(launch_tests
  launch/MutatorLineTest.cpp
  launch/CommandLineTest.cpp
  launch/ServerIniTest.cpp
  launch/BatchFileTest.cpp
)
