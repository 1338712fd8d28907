# setup.py: the extension module of the onymix package, over libonymix.a.
# The archive comes from a CMake build folder of this repository: the one
# ONYMIX_BUILD_DIR names (configured and built: libonymix.a and
# generated/version.h), or else one of its own, build/libonymix, configured
# here with the release-native preset and built for the onymix_archive
# target. The version is that folder's generated/version.h, which CMake
# writes from the project version. The repository is the folder around this
# one, or the one ONYMIX_SOURCE_DIR names when this folder is a copy
# (tools/release-python.sh builds from one, with fixed file modes).
import os
import re
import shutil
import subprocess
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

here = Path(__file__).resolve().parent
root = Path(os.environ.get("ONYMIX_SOURCE_DIR") or here.parent).resolve()
given_build = os.environ.get("ONYMIX_BUILD_DIR")
build = Path(given_build).resolve() if given_build else here / "build" / "libonymix"


def cmake(*arguments, **options):
    tool = shutil.which("cmake")
    if tool is None:
        raise RuntimeError("cmake is needed to build libonymix.a (or set ONYMIX_BUILD_DIR)")
    subprocess.run([tool, *arguments], check=True, **options)


def build_version():
    # The metadata is asked for before anything is built, so a folder of our
    # own is configured now; that writes version.h.
    if not given_build:
        # A preset is found in the source tree, where the command runs.
        cmake("-S", str(root), "--preset", "release-native", "-B", str(build),
              cwd=root, stdout=subprocess.DEVNULL)
    header = build / "generated" / "version.h"
    text = header.read_text(encoding="utf-8") if header.is_file() else ""
    found = re.search(r'^#define ONYMIX_VERSION "([^"]+)"$', text, re.MULTILINE)
    if not found:
        raise RuntimeError(f"no ONYMIX_VERSION in {header}: not a configured build folder")
    return found.group(1)


class build_ext_with_library(build_ext):
    def build_extensions(self):
        if not given_build:
            jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", "2")
            cmake("--build", str(build), "--target", "onymix_archive", "--parallel", jobs)
        archive = build / "libonymix.a"
        if not archive.is_file():
            raise RuntimeError(f"no libonymix.a in {build}")
        for extension in self.extensions:
            extension.extra_objects = [str(archive)]
        super().build_extensions()


setup(
    version=build_version(),
    ext_modules=[
        Extension(
            "onymix._onymix",
            # A fixed list, in order, so that every build links the same.
            sources=[
                "src/arguments.c",
                "src/bulk.c",
                "src/entries.c",
                "src/generator.c",
                "src/ids.c",
                "src/masks.c",
                "src/module.c",
                "src/values.c",
            ],
            depends=["src/_onymix.h"],
            include_dirs=[str(root / "include")],
            define_macros=[("Py_LIMITED_API", "0x030B0000")],
            py_limited_api=True,
            # No build paths in the module, so that every checkout builds the
            # same bytes. What the files share stays inside the module, where
            # the compiler may also inline it: nothing but PyInit__onymix is
            # seen from outside.
            extra_compile_args=["-Wall", "-Wextra", f"-ffile-prefix-map={root}=.",
                                "-fvisibility=hidden"],
            # The library's onymix_* stay inside the module: nothing else
            # loaded into the process can bind to them or clash with them.
            extra_link_args=["-Wl,--exclude-libs,ALL", "-s"],
        )
    ],
    cmdclass={"build_ext": build_ext_with_library},
    options={"bdist_wheel": {"py_limited_api": "cp311"}},
)
