package javax.microedition.lcdui;
public interface ItemStateListener {
  void itemStateChanged(Item item);
}
