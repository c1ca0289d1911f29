import javax.microedition.lcdui.Canvas;
import javax.microedition.lcdui.Graphics;

/** Full screen on MIDP 2.0 phones. */
public class TBookN2Canvas extends Canvas {
  public TBookN2Canvas() {
    setFullScreenMode(true);
  }

  protected void paint(Graphics g) {
    TBookCanvasInit.midlet.paint(g);
  }

  protected void keyPressed(int code) {
    TBookCanvasInit.midlet.key(code);
  }

  protected void keyRepeated(int code) {
    TBookCanvasInit.midlet.key(code);
  }

  protected void sizeChanged(int w, int h) {
    repaint();
  }
}
