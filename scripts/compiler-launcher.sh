# Sourced by the build scripts: cmake's compiler launcher arguments in
# ${launcher[@]}, ccache where it is installed.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
