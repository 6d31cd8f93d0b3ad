#!/usr/bin/python3
"""An RTSP server that is not ours: GStreamer's, serving a moving test pattern on
127.0.0.1. Prints "port N" once listening, then serves until killed."""

import argparse
import sys

import gi

gi.require_version("Gst", "1.0")
gi.require_version("GstRtspServer", "1.0")
from gi.repository import GLib, Gst, GstRtspServer  # noqa: E402

ENCODERS = {
    "h264": "x264enc tune=zerolatency speed-preset=ultrafast key-int-max={fps} ! rtph264pay name=pay0 pt=96 config-interval=1",
    "h265": "x265enc tune=zerolatency speed-preset=ultrafast key-int-max={fps} ! rtph265pay name=pay0 pt=96 config-interval=1",
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", default="0")
    parser.add_argument("--path", default="/stream")
    parser.add_argument("--codec", choices=ENCODERS, default="h264")
    parser.add_argument("--size", default="320x240")
    parser.add_argument("--fps", type=int, default=30)
    parser.add_argument("--user")
    parser.add_argument("--password")
    args = parser.parse_args()

    Gst.init(None)
    width, height = args.size.split("x")
    launch = ("( videotestsrc is-live=true pattern=ball ! video/x-raw,width={w},height={h},framerate={fps}/1 ! "
              + ENCODERS[args.codec] + " )").format(w=width, h=height, fps=args.fps)
    server = GstRtspServer.RTSPServer()
    server.set_address("127.0.0.1")
    server.set_service(args.port)
    factory = GstRtspServer.RTSPMediaFactory()
    factory.set_launch(launch)
    factory.set_shared(True)
    if args.user:
        auth = GstRtspServer.RTSPAuth()
        token = GstRtspServer.RTSPToken()
        token.set_string("media.factory.role", "viewer")
        auth.add_basic(GstRtspServer.RTSPAuth.make_basic(args.user, args.password), token)
        server.set_auth(auth)
        permissions = GstRtspServer.RTSPPermissions()
        permissions.add_permission_for_role("viewer", "media.factory.access", True)
        permissions.add_permission_for_role("viewer", "media.factory.construct", True)
        factory.set_permissions(permissions)
    server.get_mount_points().add_factory(args.path, factory)
    if server.attach(None) == 0:
        sys.exit("cannot listen")
    print(f"port {server.get_bound_port()}", flush=True)
    GLib.MainLoop().run()


main()
