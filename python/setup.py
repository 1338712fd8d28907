# setup.py: the extension module of the onymix package, over libonymix.a.
# The archive is made here from the repository around this folder (CMake,
# target onymix_archive, in a build folder of its own) unless ONYMIX_ARCHIVE
# names one already built; the version is the CMake project version.
import os
import re
import shutil
import subprocess
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

here = Path(__file__).resolve().parent
root = here.parent


def project_version():
    text = (root / "CMakeLists.txt").read_text(encoding="utf-8")
    found = re.search(r"^project\(Onymix VERSION (\S+)", text, re.MULTILINE)
    if not found:
        raise RuntimeError(f"no project version in {root / 'CMakeLists.txt'}")
    return found.group(1)


class build_ext_with_library(build_ext):
    def make_archive(self):
        cmake = shutil.which("cmake")
        if cmake is None:
            raise RuntimeError("cmake is needed to build libonymix.a (or set ONYMIX_ARCHIVE)")
        build = Path(self.build_temp).resolve() / "libonymix"
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", "2")
        # A preset is found in the source tree, where the command runs.
        subprocess.run([cmake, "-S", str(root), "--preset", "release-native", "-B", str(build)],
                       cwd=root, check=True, stdout=subprocess.DEVNULL)
        subprocess.run([cmake, "--build", str(build), "--target", "onymix_archive",
                        "--parallel", jobs], check=True)
        return build / "libonymix.a"

    def build_extensions(self):
        archive = os.environ.get("ONYMIX_ARCHIVE") or self.make_archive()
        if not Path(archive).is_file():
            raise RuntimeError(f"no libonymix.a at {archive}")
        for extension in self.extensions:
            extension.extra_objects = [str(archive)]
        super().build_extensions()


setup(
    version=project_version(),
    ext_modules=[
        Extension(
            "onymix._onymix",
            sources=["src/_onymix.c"],
            include_dirs=[str(root / "include")],
            define_macros=[("Py_LIMITED_API", "0x030B0000")],
            py_limited_api=True,
            # No build paths in the module, so that every checkout builds the
            # same bytes.
            extra_compile_args=["-Wall", "-Wextra", f"-ffile-prefix-map={root}=."],
            # The library's onymix_* stay inside the module: nothing else
            # loaded into the process can bind to them or clash with them.
            extra_link_args=["-Wl,--exclude-libs,ALL", "-s"],
        )
    ],
    cmdclass={"build_ext": build_ext_with_library},
    options={"bdist_wheel": {"py_limited_api": "cp311"}},
)
