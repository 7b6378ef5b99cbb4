"""The build backend pip uses for `python3 -m pip install .` in the repository (pyproject.toml).

It needs nothing beyond the standard library, CMake and a C++ compiler, so the install works
offline and in a fresh virtual environment (no setuptools, no wheel package). The wheel is made
in three steps:
1. CMake configures the repository for the interpreter running pip (tests, examples and tools
   off) in build/python-<tag>, which later installs reuse;
2. `cmake --install --component python` lays the package out in a staging folder: the modules,
   the native extension, the type stubs and the library the extension loads beside it;
3. the staging folder is zipped with the wheel's metadata (METADATA, WHEEL, RECORD).
"""
import base64
import hashlib
import os
import re
import shutil
import subprocess
import sys
import sysconfig
import tempfile
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
NAME = "velmira"


def _version():
    text = (ROOT / "CMakeLists.txt").read_text()
    return re.search(r"project\(velmira VERSION ([0-9.]+)", text).group(1)


def _tag():
    """The wheel tag of this interpreter: cp311-cp311-linux_x86_64."""
    python = f"cp{sys.version_info.major}{sys.version_info.minor}"
    platform = re.sub(r"[-.]", "_", sysconfig.get_platform())
    return f"{python}-{python}{sys.abiflags}-{platform}"


def _metadata():
    return (f"Metadata-Version: 2.1\nName: {NAME}\nVersion: {_version()}\n"
            "Summary: Commonly used objects and data structures: intrusive containers whose "
            "elements are your own objects\n"
            f"Requires-Python: =={sys.version_info.major}.{sys.version_info.minor}.*\n")


def _wheel_info():
    return (f"Wheel-Version: 1.0\nGenerator: {NAME} velmira_build\nRoot-Is-Purelib: false\n"
            f"Tag: {_tag()}\n")


def _dist_info():
    return f"{NAME}-{_version()}.dist-info"


def _run(*command):
    # pip shows this output with -v, and in full when the build fails.
    print("velmira_build:", " ".join(map(str, command)), flush=True)
    subprocess.run([str(c) for c in command], check=True, stdout=sys.stderr)


def _stage(staging):
    build = ROOT / "build" / f"python-{_tag()}"
    generator = ["-G", "Ninja"] if shutil.which("ninja") and not (build / "Makefile").exists() \
        else []
    _run("cmake", "-S", ROOT, "-B", build, *generator, "-DCMAKE_BUILD_TYPE=Release",
         f"-DPython3_EXECUTABLE={sys.executable}", "-DVELMIRA_BUILD_PYTHON=ON",
         "-DVELMIRA_BUILD_TESTS=OFF", "-DVELMIRA_BUILD_EXAMPLES=OFF", "-DVELMIRA_BUILD_TOOLS=OFF",
         "-DVELMIRA_INSTALL=ON", f"-DVELMIRA_PYTHON_INSTALL_DIR={staging}")
    _run("cmake", "--build", build, "--parallel", str(os.cpu_count() or 1))
    _run("cmake", "--install", build, "--component", "python")


def _record_line(name, data):
    digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()
    return f"{name},sha256={digest},{len(data)}\n"


def get_requires_for_build_wheel(config_settings=None):
    return []


def prepare_metadata_for_build_wheel(metadata_directory, config_settings=None):
    info = Path(metadata_directory) / _dist_info()
    info.mkdir(parents=True, exist_ok=True)
    (info / "METADATA").write_text(_metadata())
    (info / "WHEEL").write_text(_wheel_info())
    return info.name


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None):
    wheel = Path(wheel_directory) / f"{NAME}-{_version()}-{_tag()}.whl"
    with tempfile.TemporaryDirectory() as staging:
        _stage(staging)
        files = sorted(p for p in Path(staging).rglob("*") if p.is_file())
        if not any(p.name.startswith("_native") for p in files):
            raise RuntimeError("the build left no native extension in the package")
        record = ""
        with zipfile.ZipFile(wheel, "w", zipfile.ZIP_DEFLATED) as archive:
            for path in files:
                name = path.relative_to(staging).as_posix()
                data = path.read_bytes()
                info = zipfile.ZipInfo(name, date_time=(2000, 1, 1, 0, 0, 0))
                info.external_attr = (path.stat().st_mode & 0o777) << 16
                archive.writestr(info, data, zipfile.ZIP_DEFLATED)
                record += _record_line(name, data)
            for name, text in (("METADATA", _metadata()), ("WHEEL", _wheel_info())):
                data = text.encode()
                archive.writestr(f"{_dist_info()}/{name}", data)
                record += _record_line(f"{_dist_info()}/{name}", data)
            archive.writestr(f"{_dist_info()}/RECORD", record + f"{_dist_info()}/RECORD,,\n")
    return wheel.name
